#include "gui/document/file_properties_sheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qb {

namespace {
QLabel* Value(const std::string& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(QString::fromStdString(text), parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setWordWrap(true);
    return l;
}

QCheckBox* Shown(const char* text, bool on, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setChecked(on);
    c->setEnabled(false);  // the reader never changes a file's options
    return c;
}

const char* LocationText(int32_t v) {
    switch (v) {
        case link_base::kDataFileFolder:
            return "The data file's folder";
        case link_base::kStoredPath:
            return "The specified path";
        default:
            return "The Attachments folder of the preferences";
    }
}
}  // namespace

FilePropertiesSheet::FilePropertiesSheet(const FileProperties& p, std::function<bool()> locked,
                                         std::function<bool()> unlock, QWidget* parent)
    : QDialog(parent), locked_(std::move(locked)), unlock_(std::move(unlock)) {
    setObjectName("FilePropertiesSheet");
    setWindowTitle("File Properties");
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);

    auto* general = new QWidget;
    auto* gf = new QFormLayout(general);
    gf->addRow("Name:", Value(p.path, "path", general));
    gf->addRow("Size:", Value(p.sizeText + " bytes", "size", general));
    gf->addRow("Keywords:", Value(std::to_string(p.keywordCount), "keywords", general));
    gf->addRow("Keyword groups:", Value(std::to_string(p.groupCount), "groups", general));
    gf->addRow("Export header:", Value(p.exportHeader, "exportHeader", general));
    gf->addRow("Default font:", Value(p.defaultFont, "defaultFont", general));
    gf->addRow("Comments:", Value(p.comments, "comments", general));
    tabs_->addTab(general, "General");

    auto* articles = new QWidget;
    auto* af = new QVBoxLayout(articles);
    af->addWidget(Shown("&Word Wrap", p.wordWrap, articles));
    af->addWidget(Shown("Automatically Update Article Dates to Modification Dates",
                        p.updateDatesToModified, articles));
    auto* lf = new QFormLayout;
    lf->addRow("Location for targets of relative links:",
               Value(LocationText(p.relativeLinkLocation), "linkLocation", articles));
    lf->addRow("Specified path:", Value(p.relativeLinkPath, "linkPath", articles));
    af->addLayout(lf);
    af->addWidget(
        Shown("Save &full pathnames for new file or folder targets", p.fullPathNames, articles));
    af->addStretch();
    tabs_->addTab(articles, "Articles");

    auto* privacy = new QWidget;
    auto* pl = new QVBoxLayout(privacy);
    privacyContent_ = new QWidget(privacy);
    auto* cl = new QVBoxLayout(privacyContent_);
    cl->addWidget(Shown("Password &Protect All Articles", p.passwordProtectAll, privacyContent_));
    cl->addWidget(
        Shown("Always &Request Password at Startup", p.requestPasswordAtStartup, privacyContent_));
    passwordButton_ = new QPushButton(QString::fromStdString(p.passwordButton), privacyContent_);
    passwordButton_->setEnabled(false);  // setting a password is an editing command
    cl->addWidget(passwordButton_);
    cl->addStretch();
    pl->addWidget(privacyContent_);
    privacyContent_->setVisible(false);
    tabs_->addTab(privacy, "Privacy");

    connect(tabs_, &QTabWidget::currentChanged, this, &FilePropertiesSheet::OnPageChanged);
    layout->addWidget(tabs_);
    // Nothing on the sheet can be changed in a file opened read-only: there
    // is nothing to accept or cancel, only the sheet to close.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QLabel* FilePropertiesSheet::Field(const char* name) const {
    return findChild<QLabel*>(name);
}

void FilePropertiesSheet::OnPageChanged(int index) {
    if (index != 2) {
        lastPage_ = index;
        return;
    }
    if (!privacyShown_) {
        bool ok = !(locked_ && locked_()) || (unlock_ && unlock_());
        if (!ok) {
            QSignalBlocker block(tabs_);
            tabs_->setCurrentIndex(lastPage_);
            return;
        }
        privacyShown_ = true;
        privacyContent_->setVisible(true);
    }
    lastPage_ = index;
}

}  // namespace qb
