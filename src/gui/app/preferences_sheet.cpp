#include "gui/app/preferences_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/drive_settings.h"
#include "app/settings.h"
#include "gui/app/drives_page.h"
#include "gui/app/shell_dialogs.h"
#include "gui/platform/colors.h"
#include "platform/code_page.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

namespace {
QButtonGroup* Radios(QWidget* owner, QBoxLayout* layout, std::initializer_list<const char*> texts) {
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (const char* t : texts) {
        auto* r = new QRadioButton(t, owner);
        group->addButton(r, id++);
        layout->addWidget(r);
    }
    return group;
}

QCheckBox* Check(QWidget* owner, QBoxLayout* layout, const char* text) {
    auto* c = new QCheckBox(text, owner);
    layout->addWidget(c);
    return c;
}

QGroupBox* Group(const char* title, QWidget* parent, QVBoxLayout*& inner) {
    auto* g = new QGroupBox(title, parent);
    inner = new QVBoxLayout(g);
    return g;
}

void SetRadio(QButtonGroup* g, int value) {
    QAbstractButton* b = g->button(value);
    if (!b) b = g->button(0);
    b->setChecked(true);
}

// The encodings of the string table, or the built-in list when the table
// has none.
QStringList EncodingNames() {
    QStringList names;
    for (int id = msg::kFirstEncoding; id < msg::kFirstEncoding + msg::kMaxEncodings; ++id) {
        const char* s = ResourceString(id);
        if (!s || std::string(s) == ";") break;
        names << QString::fromUtf8(s).section(';', 0, 0);
    }
    if (names.isEmpty())
        names << "Western (Windows-1252)"
              << "Central Europe (Windows-1250)"
              << "Western (ISO-8859-1)"
              << "Baltic (ISO-8859-4)";
    return names;
}
}  // namespace

ColourButton::ColourButton(const QString& text, QWidget* parent) : QWidget(parent) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    button_ = new QPushButton(text, this);
    l->addWidget(button_);
    connect(button_, &QPushButton::clicked, this, &ColourButton::Choose);
}

void ColourButton::SetValue(int32_t bgr) {
    value_ = bgr;
    QPixmap swatch(14, 14);
    swatch.fill(bgr == -1 ? palette().color(QPalette::Base) : ColorFromBgr(bgr));
    button_->setIcon(QIcon(swatch));
}

void ColourButton::Choose() {
    QColor start = value_ == -1 ? palette().color(QPalette::Base) : ColorFromBgr(value_);
    QColor c = QColorDialog::getColor(start, this, button_->text());
    if (c.isValid()) SetValue(BgrFromColor(c));
}

PreferencesSheet::PreferencesSheet(Settings& settings, Directories& dirs, ShellDialogs& dialogs,
                                   Ui& ui, QWidget* parent)
    : QDialog(parent), settings_(settings), dirs_(dirs), dialogs_(dialogs), ui_(ui) {
    setObjectName("PreferencesSheet");
    setWindowTitle(ResourceString(msg::kPreferencesCaption));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(IndexPage(), "Index Window");
    tabs_->addTab(ArticlePage(), "Articles");
    tabs_->addTab(DisplayPage(), "Display");
    tabs_->addTab(FilePage(), "Files");
    tabs_->addTab(ExportPage(), "Export");
    tabs_->addTab(ToolsPage(), "Tools");
    drives = new DrivesPage(dialogs_);
    tabs_->addTab(drives, "Drives");
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Fill();
}

QWidget* PreferencesSheet::IndexPage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefIndexWindow");
    auto* l = new QVBoxLayout(page);
    QVBoxLayout* g;
    l->addWidget(Group("Default Display", page, g));
    initList = Radios(page, g, {"Show &All Titles", "Show &Bookmarked Titles", "Show &No Titles"});
    l->addWidget(Group("Titles List", page, g));
    showTag = Check(page, g, "Show Book&marks");
    showAttachment = Check(page, g, "Show A&ttachments");
    showHypertext = Check(page, g, "Show &Hypertext Links");
    showPrivate = Check(page, g, "Show &Privacy");
    showDate = Check(page, g, "Show &Dates");
    showTime = Check(page, g, "Show T&imes");
    l->addWidget(Group("Colours", page, g));
    titleColor = new ColourButton("Titles...", page);
    dateColor = new ColourButton("Dates...", page);
    previewColor = new ColourButton("Preview Pane...", page);
    g->addWidget(titleColor);
    g->addWidget(dateColor);
    g->addWidget(previewColor);
    l->addStretch();
    return page;
}

QWidget* PreferencesSheet::ArticlePage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefArticle");
    auto* l = new QVBoxLayout(page);
    QVBoxLayout* g;
    l->addWidget(Group("Article Window Size", page, g));
    artSize = Radios(page, g, {"A&utomatic", "&Manual"});
    l->addWidget(Group("Active URL Links", page, g));
    activeLinks = Radios(page, g, {"&Visible", "&Invisible", "&No Active Links"});
    autoOpenFile = Check(page, l, "Open File/Folder Attachments Automatically with Article");
    autoOpenInternet = Check(page, l, "Open Internet Attachments Automatically with Article");
    auto* row = new QHBoxLayout;
    userFolderBrowser = new QCheckBox("Open Folder Attachments and Links with:", page);
    folderBrowserName = new QLineEdit(page);
    auto* browse = new QPushButton("&Browse...", page);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString f = QFileDialog::getOpenFileName(this, "Browse", folderBrowserName->text(),
                                                 "Program Files (*)");
        if (!f.isEmpty()) folderBrowserName->setText(f);
    });
    row->addWidget(userFolderBrowser);
    row->addWidget(folderBrowserName, 1);
    row->addWidget(browse);
    l->addLayout(row);
    showImageGallery = Check(page, l, "Show Image &Gallery in Article Window");
    auto* sizes = new QHBoxLayout;
    galleryImageSize = new QButtonGroup(page);
    const char* sizeTexts[] = {"Small (64x64)", "Medium (128x128)", "Large (192x192)"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(sizeTexts[i], page);
        galleryImageSize->addButton(r, i);
        sizes->addWidget(r);
    }
    l->addLayout(sizes);
    auto* pivot = new QHBoxLayout;
    pivot->addWidget(new QLabel("Two-digit years mean the years", page));
    pivotLower = new QLabel(page);
    pivotUpper = new QSpinBox(page);
    pivotUpper->setRange(1099, 9999);
    connect(pivotUpper, &QSpinBox::valueChanged, this,
            [this](int v) { pivotLower->setText(QString::number(v - 99)); });
    pivot->addWidget(pivotLower);
    pivot->addWidget(new QLabel("to", page));
    pivot->addWidget(pivotUpper);
    pivot->addStretch();
    l->addLayout(pivot);
    displayDate = Check(page, l, "Display &Date in Article Window");
    displayTime = Check(page, l, "Display &Time in Article Window");
    l->addStretch();
    return page;
}

QWidget* PreferencesSheet::DisplayPage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefDisplay");
    auto* l = new QVBoxLayout(page);
    largeButtons = Check(page, l, "Use &Large Buttons");
    welcome = Check(page, l, "Display &Welcome Screen at Startup");
    onTop = Check(page, l, "&Keep Quillbox Reader on Top");
    l->addStretch();
    return page;
}

QWidget* PreferencesSheet::FilePage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefFile");
    auto* l = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    for (int t = 0; t < kFolderTypeCount; ++t) {
        auto* row = new QHBoxLayout;
        folders[t] = new QLineEdit(page);
        auto* browse = new QPushButton("Browse...", page);
        QLineEdit* edit = folders[t];
        connect(browse, &QPushButton::clicked, this, [this, edit] {
            if (auto d = dialogs_.AskFolder("Browse", edit->text().toStdString(), this))
                edit->setText(QString::fromStdString(*d));
        });
        row->addWidget(folders[t], 1);
        row->addWidget(browse);
        form->addRow(QString("%1:").arg(FolderKey(static_cast<FolderType>(t))), row);
    }
    l->addLayout(form);
    QVBoxLayout* g;
    l->addWidget(Group("Open File at Startup", page, g));
    loadLastFile = Radios(page, g, {"&None", "The &Most Recent File", "&This File:"});
    auto* row = new QHBoxLayout;
    lastFileName = new QLineEdit(page);
    auto* browse = new QPushButton("Browse...", page);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString f =
            QFileDialog::getOpenFileName(this, "Browse", lastFileName->text(), "Quillbox (*.qbx)");
        if (!f.isEmpty()) {
            lastFileName->setText(f);
            loadLastFile->button(2)->setChecked(true);
        }
    });
    row->addWidget(lastFileName, 1);
    row->addWidget(browse);
    g->addLayout(row);
    // Text in data files is in the code page of the Windows that wrote them.
    auto* cpRow = new QFormLayout;
    codePage = new QComboBox(page);
    codePage->setObjectName("CodePage");
    for (int n : CodePage::Supported())
        codePage->addItem(QString::fromStdString(CodePage::Windows(n)->Caption()), n);
    cpRow->addRow("Data File &Code Page (when a file is opened):", codePage);
    l->addLayout(cpRow);
    l->addStretch();
    return page;
}

QWidget* PreferencesSheet::ExportPage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefExport");
    auto* l = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    exportLineLength = new QSpinBox(page);
    exportLineLength->setRange(0, 9999);
    form->addRow("Text export line length:", exportLineLength);
    // Text and CSV files follow the data file's code page unless UTF-8 is
    // chosen, which keeps every character.
    exportTextEncoding = new QComboBox(page);
    exportTextEncoding->addItem("Code page of the data file", 0);
    exportTextEncoding->addItem("UTF-8", 1);
    form->addRow("Text and CSV &encoding:", exportTextEncoding);
    l->addLayout(form);
    QVBoxLayout* g;
    l->addWidget(Group("HTML Character Set", page, g));
    htmlExportType = Radios(page, g, {"&No Character Set", "&Pre-defined:", "&Custom:"});
    htmlEncodeSet = new QComboBox(page);
    htmlEncodeSet->addItems(EncodingNames());
    htmlCustomSet = new QLineEdit(page);
    g->insertWidget(2, htmlEncodeSet);
    g->addWidget(htmlCustomSet);
    l->addStretch();
    return page;
}

QWidget* PreferencesSheet::ToolsPage() {
    auto* page = new QWidget;
    page->setObjectName("CPrefTools");
    auto* l = new QVBoxLayout(page);
    autoUpdateQuery = Check(page, l, "&Update Outdated Queries Automatically");
    l->addStretch();
    return page;
}

void PreferencesSheet::ShowPage(PreferencesPage page) {
    int index = static_cast<int>(page);
    if (index >= 0 && index < tabs_->count()) tabs_->setCurrentIndex(index);
}

void PreferencesSheet::Fill() {
    const Settings& s = settings_;
    SetRadio(initList, s.initList);
    showTag->setChecked(s.showTag);
    showAttachment->setChecked(s.showAttachment);
    showHypertext->setChecked(s.showHypertextStatus);
    showPrivate->setChecked(s.showPrivateStatus);
    showDate->setChecked(s.showDate);
    showTime->setChecked(s.showTime);
    titleColor->SetValue(s.titleColor);
    dateColor->SetValue(s.dateColor);
    previewColor->SetValue(s.previewColor);

    SetRadio(artSize, s.artSize);
    SetRadio(activeLinks, s.activeLinks);
    autoOpenFile->setChecked(s.autoOpenFile);
    autoOpenInternet->setChecked(s.autoOpenInternet);
    userFolderBrowser->setChecked(s.userFolderBrowser);
    folderBrowserName->setText(QString::fromStdString(s.FolderBrowser()));
    showImageGallery->setChecked(s.showImageGallery);
    SetRadio(galleryImageSize, s.galleryImageSize);
    pivotUpper->setValue(s.pivotYear);
    pivotLower->setText(QString::number(pivotUpper->value() - 99));
    displayDate->setChecked(s.displayDate);
    displayTime->setChecked(s.displayTime);

    largeButtons->setChecked(s.toolbarButtonSize == 1);
    welcome->setChecked(s.welcome != 2);
    onTop->setChecked(s.onTop == 1);

    for (int t = 0; t < kFolderTypeCount; ++t)
        folders[t]->setText(QString::fromStdString(dirs_.Folder(static_cast<FolderType>(t))));
    SetRadio(loadLastFile, s.loadLastFile);
    lastFileName->setText(QString::fromStdString(s.lastFileName));
    codePage->setCurrentIndex(std::max(0, codePage->findData(s.codePage)));

    exportLineLength->setValue(s.exportTextLineLength);
    exportTextEncoding->setCurrentIndex(
        std::max(0, exportTextEncoding->findData(s.exportTextEncoding)));
    SetRadio(htmlExportType, s.htmlExportType);
    htmlEncodeSet->setCurrentIndex(
        s.htmlEncodeSet >= 0 && s.htmlEncodeSet < htmlEncodeSet->count() ? s.htmlEncodeSet : 0);
    htmlCustomSet->setText(QString::fromStdString(s.htmlCustomSet));

    autoUpdateQuery->setChecked(s.autoUpdateQuery);

    drives->Fill(s.drives);
}

bool PreferencesSheet::Validate() {
    DriveRowsCheck check = CheckDriveRows(drives->Rows());
    if (!check.problem) return true;
    tabs_->setCurrentWidget(drives);
    drives->ShowProblem(*check.problem);
    ui_.MessageBox(check.problem->message, MessageIcon::Exclamation);
    return false;
}

void PreferencesSheet::accept() {
    if (Validate()) QDialog::accept();
}

void PreferencesSheet::Apply() {
    Settings& s = settings_;
    s.initList = initList->checkedId();
    s.showTag = showTag->isChecked();
    s.showAttachment = showAttachment->isChecked();
    s.showHypertextStatus = showHypertext->isChecked();
    s.showPrivateStatus = showPrivate->isChecked();
    s.showDate = showDate->isChecked();
    s.showTime = showTime->isChecked();
    s.titleColor = titleColor->Value();
    s.dateColor = dateColor->Value();
    s.previewColor = previewColor->Value();

    s.artSize = artSize->checkedId();
    s.activeLinks = activeLinks->checkedId();
    s.autoOpenFile = autoOpenFile->isChecked();
    s.autoOpenInternet = autoOpenInternet->isChecked();
    s.userFolderBrowser = userFolderBrowser->isChecked();
    // A new check value only when the program really changed.
    std::string browser = folderBrowserName->text().toStdString();
    if (browser != s.FolderBrowser()) s.SetFolderBrowser(browser);
    s.showImageGallery = showImageGallery->isChecked();
    s.galleryImageSize = galleryImageSize->checkedId();
    s.pivotYear = pivotUpper->value();
    s.displayDate = displayDate->isChecked();
    s.displayTime = displayTime->isChecked();

    s.toolbarButtonSize = largeButtons->isChecked() ? 1 : 0;
    s.welcome = welcome->isChecked() ? 1 : 2;
    s.onTop = onTop->isChecked() ? 1 : 0;

    for (int t = 0; t < kFolderTypeCount; ++t) {
        auto type = static_cast<FolderType>(t);
        std::string text = folders[t]->text().toStdString();
        if (text != dirs_.Folder(type)) dirs_.SetFolder(type, text);
    }
    s.loadLastFile = loadLastFile->checkedId();
    s.lastFileName = lastFileName->text().toStdString();
    s.codePage = codePage->currentData().toInt();

    s.exportTextLineLength = exportLineLength->value();
    s.exportTextEncoding = exportTextEncoding->currentData().toInt();
    s.htmlExportType = htmlExportType->checkedId();
    s.htmlEncodeSet = htmlEncodeSet->currentIndex();
    s.htmlCustomSet = htmlCustomSet->text().toStdString();

    s.autoUpdateQuery = autoUpdateQuery->isChecked();

    DriveRowsCheck check = CheckDriveRows(drives->Rows());
    if (!check.problem) s.drives = std::move(check.entries);
    s.changed = true;
}

}  // namespace qb
