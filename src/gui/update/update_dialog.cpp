#include "gui/update/update_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace qb {

namespace {
constexpr int kStartDelayMs = 200;

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}
}  // namespace

UpdateDialog::UpdateDialog(std::unique_ptr<UpdateDialogModel> model, HttpPort& http,
                           Launcher& launcher, Ui& ui, QWidget* parent)
    : QDialog(parent), model_(std::move(model)), http_(http), launcher_(launcher), ui_(ui) {
    setObjectName("UpdateDialog");
    setWindowTitle("Check for Quillbox Reader Update");

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Currently installed version:", this), 0, 0);
    installed_ = ValueLabel(this, "installed");
    grid->addWidget(installed_, 0, 1);
    grid->addWidget(new QLabel("Currently released version:", this), 1, 0);
    released_ = ValueLabel(this, "released");
    grid->addWidget(released_, 1, 1);
    message_ = ValueLabel(this, "message");
    message_->setWordWrap(true);
    grid->addWidget(message_, 2, 0, 1, 2);

    frequency_ = new QComboBox(this);
    frequency_->setObjectName("frequency");
    frequency_->addItem("Every 7 days", 7);
    frequency_->addItem("Every 30 days", 30);
    frequency_->addItem("Every 90 days", 90);
    frequency_->addItem("Never", -1);
    frequency_->setCurrentIndex(frequency_->findData(model_->InitialFrequency()));
    frequency_->hide();
    grid->addWidget(frequency_, 3, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    getInfo_ = buttons->addButton("&Get update info...", QDialogButtonBox::ActionRole);
    getInfo_->setObjectName("getInfo");
    getInfo_->hide();
    close_ = buttons->addButton(QDialogButtonBox::Close);
    close_->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(getInfo_, &QPushButton::clicked, this,
            [this] { model_->OpenUpdatePage(launcher_, ui_); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    startTimer_.setSingleShot(true);
    connect(&startTimer_, &QTimer::timeout, this, &UpdateDialog::StartCheck);
    ShowTexts();
}

UpdateDialog::~UpdateDialog() {
    CloseModel();
}

bool UpdateDialog::Checking() const {
    return !closed_ && (startTimer_.isActive() || model_->Checking());
}

void UpdateDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_ || closed_) return;
    shown_ = true;
    if (model_->HasServer()) startTimer_.start(kStartDelayMs);
}

void UpdateDialog::StartCheck() {
    if (closed_) return;
    model_->StartCheck(http_, [this](UpdateResult r) {
        ShowTexts();
        emit CheckFinished(static_cast<int>(r));
    });
}

void UpdateDialog::ShowTexts() {
    const UpdateDialogTexts& t = model_->Texts();
    installed_->setText(QString::fromStdString(t.installed));
    released_->setText(QString::fromStdString(t.released));
    message_->setText(QString::fromStdString(t.message));
    getInfo_->setVisible(t.showGetInfo);
}

void UpdateDialog::CloseModel() {
    if (closed_) return;
    closed_ = true;
    startTimer_.stop();
    model_->Close(frequency_->currentData().toInt());
}

void UpdateDialog::done(int result) {
    CloseModel();
    QDialog::done(result);
}

}  // namespace qb
