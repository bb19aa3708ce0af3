#include "gui/app/shell_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "resources/strings.h"

namespace qb {

QString QtNameFilters(const std::string& mfcFilter) {
    QStringList parts = QString::fromStdString(mfcFilter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace("*.*", "*");
        patterns.replace(';', ' ');
        // The description carries the patterns Qt uses: put the real ones in.
        int open = desc.lastIndexOf('(');
        if (open >= 0) desc = desc.left(open).trimmed();
        filters << QString("%1 (%2)").arg(desc, patterns);
    }
    return filters.join(";;");
}

namespace {
QLabel* PathLabel(const std::string& path, QWidget* parent) {
    auto* l = new QLabel(QString::fromStdString(path), parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}
}  // namespace

// ---- welcome screen

WelcomeDialog::WelcomeDialog(const std::vector<std::string>& recent, bool showAtStartup,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("WelcomeDialog");
    setWindowTitle("Welcome to Quillbox Reader");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        "Quillbox Reader shows the articles of Quillbox data files. Pick keywords or run a "
        "query to narrow the list of titles, then open an article to read it.",
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    const char* texts[] = {"&Tutorial", "&Open File...", "Open &Recent", "&Continue"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(texts[i], this);
        connect(buttons_[i], &QPushButton::clicked, this,
                [this, i] { Choose(static_cast<WelcomeButton>(i)); });
    }
    layout->addWidget(buttons_[0]);
    layout->addWidget(buttons_[1]);
    auto* row = new QHBoxLayout;
    recent_ = new QComboBox(this);
    for (const std::string& r : recent)
        recent_->addItem(QFileInfo(QString::fromStdString(r)).fileName(),
                         QString::fromStdString(r));
    recent_->setEnabled(!recent.empty());
    buttons_[2]->setEnabled(!recent.empty());
    row->addWidget(buttons_[2]);
    row->addWidget(recent_, 1);
    layout->addLayout(row);
    layout->addWidget(buttons_[3]);
    buttons_[3]->setDefault(true);
    show_ = new QCheckBox("&Show This Screen at Startup", this);
    show_->setChecked(showAtStartup);
    layout->addWidget(show_);
    result_.showAtStartup = showAtStartup;
}

QPushButton* WelcomeDialog::Button(WelcomeButton b) const {
    return buttons_[static_cast<int>(b)];
}

void WelcomeDialog::Choose(WelcomeButton b) {
    result_.button = b;
    result_.recentIndex = recent_->currentIndex();
    result_.showAtStartup = show_->isChecked();
    done(QDialog::Accepted);
}

// ---- newer formats

NewerFormatDialog::NewerFormatDialog(const std::string& path, QWidget* parent) : QDialog(parent) {
    setObjectName("NewerFormatDialog");
    setWindowTitle(ResourceString(msg::kNewerFormatCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PathLabel(path, this));
    auto* text = new QLabel(
        "This data file was written by a more recent version of Quillbox. It can be opened, "
        "but some of its contents may not be shown. The file itself is never changed.",
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    const char* texts[] = {"Open File &Anyway", "Open &Read-Only", "&Copy and Open", "Cancel"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(texts[i], this);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] {
            choice_ = static_cast<NewerFormatChoice>(i);
            done(choice_ == NewerFormatChoice::Cancel ? QDialog::Rejected : QDialog::Accepted);
        });
        row->addWidget(buttons_[i]);
    }
    buttons_[3]->setDefault(true);
    layout->addLayout(row);
}

void NewerFormatDialog::reject() {
    choice_ = NewerFormatChoice::Cancel;
    QDialog::reject();
}

TooNewFormatDialog::TooNewFormatDialog(const std::string& path, QWidget* parent) : QDialog(parent) {
    setObjectName("TooNewFormatDialog");
    setWindowTitle(ResourceString(msg::kNewerFormatCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PathLabel(path, this));
    auto* text = new QLabel(
        "This data file was written by a much more recent version of Quillbox and can not be "
        "opened by this program. Please update Quillbox Reader.",
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

// ---- the default, interactive answers

NewerFormatChoice ShellDialogs::AskNewerFormat(const std::string& path, QWidget* owner) {
    NewerFormatDialog d(path, owner);
    Exec(d);
    return d.Choice();
}

void ShellDialogs::ShowTooNewFormat(const std::string& path, QWidget* owner) {
    TooNewFormatDialog d(path, owner);
    Exec(d);
}

std::optional<std::string> ShellDialogs::AskCopyName(const std::string& path, QWidget* owner) {
    QFileInfo info(QString::fromStdString(path));
    return AskSaveFileName("Copy and Open", info.absolutePath().toStdString(),
                           ("Copy of " + info.fileName()).toStdString(),
                           ResourceString(msg::kFileOpenFilter), "qbx", owner);
}

WelcomeResult ShellDialogs::ShowWelcome(const std::vector<std::string>& recent, bool showAtStartup,
                                        QWidget* owner) {
    WelcomeDialog d(recent, showAtStartup, owner);
    Exec(d);
    return d.Result();
}

std::optional<std::string> ShellDialogs::AskOpenFileName(const std::string& startFolder,
                                                         const std::string& filter,
                                                         QWidget* owner) {
    QFileDialog d(owner, "Open", QString::fromStdString(startFolder), QtNameFilters(filter));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    if (Exec(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().first().toStdString();
}

std::optional<std::string> ShellDialogs::AskFolder(const std::string& title,
                                                   const std::string& startFolder, QWidget* owner) {
    QFileDialog d(owner, QString::fromStdString(title), QString::fromStdString(startFolder));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::Directory);
    d.setOption(QFileDialog::ShowDirsOnly, true);
    if (Exec(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().first().toStdString();
}

std::optional<std::string> ShellDialogs::AskSaveFileName(
    const std::string& title, const std::string& startFolder, const std::string& proposedName,
    const std::string& filter, const std::string& defaultSuffix, QWidget* owner) {
    QFileDialog d(owner, QString::fromStdString(title), QString::fromStdString(startFolder),
                  QtNameFilters(filter));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    d.selectFile(QString::fromStdString(proposedName));
    if (Exec(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().first().toStdString();
}

}  // namespace qb
