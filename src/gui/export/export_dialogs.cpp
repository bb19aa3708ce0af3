#include "gui/export/export_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/app/shell_dialogs.h"

namespace qb {

namespace {

constexpr const char* kOptionsText = "O&ptions...";

struct FlagLabel {
    uint16_t flag;
    const char* text;
};
constexpr FlagLabel kFlagLabels[ExportSetupDialog::kFlagCount] = {
    {export_flags::kHeader, "Include Export &Header"},
    {export_flags::kTitles, "Include &Titles"},
    {export_flags::kNumbers, "&Number Titles List"},
    {export_flags::kDates, "Include &Dates"},
    {export_flags::kAttachments, "Include Atta&chments"},
    {export_flags::kKeywords, "Include &Keywords"},
    {export_flags::kContent, "Include Article C&ontent"},
};

struct RangeLabel {
    ExportRange range;
    const char* text;
};
constexpr RangeLabel kRangeLabels[] = {
    {ExportRange::kAll, "&All Articles"},
    {ExportRange::kBookmarked, "&Bookmarked Articles"},
    {ExportRange::kSelected, "&Selected Articles"},
    {ExportRange::kCurrent, "C&urrent Article"},
    {ExportRange::kHighlighted, "H&ighlighted Articles"},
};

QGroupBox* Group(const char* title, QWidget* parent, QVBoxLayout*& inner) {
    auto* box = new QGroupBox(title, parent);
    inner = new QVBoxLayout(box);
    return box;
}

}  // namespace

// ---- setup

ExportSetupDialog::ExportSetupDialog(ExportSetup& setup, QWidget* parent)
    : QDialog(parent), setup_(setup) {
    setObjectName("ExportSetup");
    setWindowTitle("Export Articles Setup");
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);

    auto* left = new QVBoxLayout;
    columns->addLayout(left);
    QVBoxLayout* g;
    left->addWidget(Group("Export Range", this, g));
    ranges_ = new QButtonGroup(this);
    for (const RangeLabel& r : kRangeLabels) {
        auto* b = new QRadioButton(r.text, this);
        g->addWidget(b);
        ranges_->addButton(b, int(r.range));
    }
    connect(ranges_, &QButtonGroup::idClicked, this, [this](int id) {
        setup_.SetRange(ExportRange(id));
        Refresh();
    });

    left->addWidget(Group("Sort By", this, g));
    auto* sortRow = new QHBoxLayout;
    g->addLayout(sortRow);
    sortBy_ = new QButtonGroup(this);
    order_ = new QButtonGroup(this);
    auto* titles = new QRadioButton("Ti&tles", this);
    auto* dates = new QRadioButton("Dat&es", this);
    sortBy_->addButton(titles, 0);
    sortBy_->addButton(dates, 1);
    auto* ascending = new QRadioButton("Ascendin&g", this);
    auto* descending = new QRadioButton("Descend&ing", this);
    order_->addButton(ascending, 0);
    order_->addButton(descending, 1);
    auto* byCol = new QVBoxLayout;
    byCol->addWidget(titles);
    byCol->addWidget(dates);
    auto* orderCol = new QVBoxLayout;
    orderCol->addWidget(ascending);
    orderCol->addWidget(descending);
    sortRow->addLayout(byCol);
    sortRow->addLayout(orderCol);
    auto sortChanged = [this](int) {
        setup_.SetSort(sortBy_->checkedId() == 1, order_->checkedId() == 1);
        Refresh();
    };
    connect(sortBy_, &QButtonGroup::idClicked, this, sortChanged);
    connect(order_, &QButtonGroup::idClicked, this, sortChanged);
    left->addStretch();

    auto* right = new QVBoxLayout;
    columns->addLayout(right);
    right->addWidget(Group("Include", this, g));
    for (int i = 0; i < kFlagCount; ++i) {
        auto* box = new QCheckBox(kFlagLabels[i].text, this);
        flags_[size_t(i)] = box;
        g->addWidget(box);
        uint16_t flag = kFlagLabels[i].flag;
        connect(box, &QCheckBox::clicked, this, [this, flag](bool on) {
            setup_.SetFlag(flag, on);
            Refresh();
        });
    }
    separate_ = new QCheckBox("Export Articles as Se&parate Files", this);
    connect(separate_, &QCheckBox::toggled, this, [this](bool on) { setup_.separateFiles = on; });
    right->addWidget(separate_);
    right->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (setup_.OkEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    separate_->setChecked(setup_.separateFiles);
    Refresh();
}

void ExportSetupDialog::Refresh() {
    for (const RangeLabel& r : kRangeLabels) {
        QAbstractButton* b = ranges_->button(int(r.range));
        b->setEnabled(setup_.RangeEnabled(r.range));
        b->setChecked(setup_.Range() == r.range);
    }
    sortBy_->button(setup_.SortsByDate() ? 1 : 0)->setChecked(true);
    order_->button(setup_.SortsDescending() ? 1 : 0)->setChecked(true);
    for (int i = 0; i < kFlagCount; ++i)
        flags_[size_t(i)]->setChecked(setup_.Has(kFlagLabels[i].flag));
    FlagBox(export_flags::kNumbers)->setEnabled(setup_.NumbersEnabled());
    ok_->setEnabled(setup_.OkEnabled());
}

QCheckBox* ExportSetupDialog::FlagBox(uint16_t flag) const {
    for (int i = 0; i < kFlagCount; ++i)
        if (kFlagLabels[i].flag == flag) return flags_[size_t(i)];
    return nullptr;
}

QAbstractButton* ExportSetupDialog::RangeButton(ExportRange range) const {
    return ranges_->button(int(range));
}

QAbstractButton* ExportSetupDialog::SortButton(bool byDate) const {
    return sortBy_->button(byDate ? 1 : 0);
}

QAbstractButton* ExportSetupDialog::OrderButton(bool descending) const {
    return order_->button(descending ? 1 : 0);
}

// ---- folder

ExportFolderDialog::ExportFolderDialog(const std::vector<ExportFileType>& types, size_t initialType,
                                       const std::string& folder, const MarkdownOptions& markdown,
                                       ShellDialogs& shell, std::function<void()> openOptions,
                                       QWidget* parent)
    : QDialog(parent), types_(types) {
    setObjectName("ExportFolder");
    setWindowTitle("Export Articles to Folder");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(QString::fromStdString(folder), this);
    browse_ = new QPushButton("&Browse...", this);
    folderRow->addWidget(folder_);
    folderRow->addWidget(browse_);
    form->addRow("Target &folder:", folderRow);
    connect(browse_, &QPushButton::clicked, this, [this, &shell] {
        if (auto chosen =
                shell.AskFolder("Select target folder", folder_->text().toStdString(), this))
            folder_->setText(QString::fromStdString(*chosen));
    });
    type_ = new QComboBox(this);
    for (const ExportFileType& t : types_)
        type_->addItem(QString::fromStdString(t.description));
    if (initialType < types_.size()) type_->setCurrentIndex(int(initialType));
    form->addRow("Save as &Type:", type_);

    QVBoxLayout* g;
    layout->addWidget(Group("Markdown Notes", this, g));
    wikiLinks = new QCheckBox("&Wiki links between notes ([[Title]])", this);
    headings = new QCheckBox("&Headings from large bold first lines", this);
    includePrivate = new QCheckBox("Include p&rivate articles", this);
    underline = new QCheckBox("&Underlined text as <u>...</u>", this);
    wikiLinks->setChecked(markdown.wikiLinks);
    headings->setChecked(markdown.headings);
    includePrivate->setChecked(markdown.includePrivate);
    underline->setChecked(markdown.underline);
    g->addWidget(wikiLinks);
    g->addWidget(headings);
    g->addWidget(includePrivate);
    g->addWidget(underline);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    options_ = buttons->addButton(kOptionsText, QDialogButtonBox::ActionRole);
    connect(options_, &QPushButton::clicked, this, [openOptions] {
        if (openOptions) openOptions();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!folder_->text().trimmed().isEmpty()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(type_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(folder_, &QLineEdit::textChanged, this, [this] { Refresh(); });
    Refresh();
}

void ExportFolderDialog::Refresh() {
    bool markdown = Type() < types_.size() && types_[Type()].format == ExportFormat::kMarkdown;
    for (QCheckBox* box : {wikiLinks, headings, includePrivate, underline})
        box->setEnabled(markdown);
    ok_->setEnabled(!folder_->text().trimmed().isEmpty() && type_->currentIndex() >= 0);
}

std::string ExportFolderDialog::Folder() const {
    return folder_->text().trimmed().toStdString();
}

size_t ExportFolderDialog::Type() const {
    return type_->currentIndex() < 0 ? types_.size() : size_t(type_->currentIndex());
}

MarkdownOptions ExportFolderDialog::Markdown() const {
    MarkdownOptions m;
    m.wikiLinks = wikiLinks->isChecked();
    m.headings = headings->isChecked();
    m.includePrivate = includePrivate->isChecked();
    m.underline = underline->isChecked();
    return m;
}

// ---- save dialog

QStringList ExportNameFilters(const std::vector<ExportFileType>& types) {
    QStringList filters;
    for (const ExportFileType& t : types) {
        // Qt reads the patterns from the parentheses; a description that
        // names them differently (or not at all) gets the real ones.
        QString patterns = QString::fromStdString(t.patterns).replace(';', ' ');
        QString d = QString::fromStdString(t.description);
        if (!d.contains('(') && !patterns.isEmpty())
            d += " (" + patterns + ")";
        else if (!patterns.isEmpty() && !d.contains(patterns))
            d = d.left(d.lastIndexOf('(')).trimmed() + " (" + patterns + ")";
        filters << d;
    }
    return filters;
}

std::unique_ptr<QFileDialog> MakeExportSaveDialog(const std::vector<ExportFileType>& types,
                                                  size_t initialType, const std::string& folder,
                                                  const std::string& proposedName,
                                                  std::function<void()> openOptions,
                                                  QWidget* parent) {
    auto d =
        std::make_unique<QFileDialog>(parent, "Export Articles", QString::fromStdString(folder));
    d->setObjectName("ExportSave");
    // Qt's own dialog: it can carry the Options button and runs offscreen.
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    QStringList filters = ExportNameFilters(types);
    d->setNameFilters(filters);
    size_t type = initialType < types.size() ? initialType : 0;
    if (!filters.isEmpty()) d->selectNameFilter(filters[int(type)]);
    // A name typed without an extension gets the chosen type's.
    auto suffixFor = [types](int index) -> QString {
        if (index < 0 || size_t(index) >= types.size()) return "txt";
        return QString(ExportExtension(types[size_t(index)].format)).mid(1);
    };
    d->setDefaultSuffix(suffixFor(int(type)));
    QFileDialog* raw = d.get();
    QObject::connect(raw, &QFileDialog::filterSelected, raw,
                     [raw, filters, suffixFor](const QString& filter) {
                         raw->setDefaultSuffix(suffixFor(int(filters.indexOf(filter))));
                     });
    d->selectFile(QString::fromStdString(proposedName));
    if (auto* box = d->findChild<QDialogButtonBox*>()) {
        QPushButton* options = box->addButton(kOptionsText, QDialogButtonBox::ActionRole);
        options->setObjectName("ExportOptionsButton");
        QObject::connect(options, &QPushButton::clicked, raw, [openOptions] {
            if (openOptions) openOptions();
        });
    }
    return d;
}

// ---- the port

bool QtExportDialogs::Setup(ExportSetup& setup) {
    ExportSetup edited = setup;
    ExportSetupDialog d(edited, owner_);
    if (shell_.Exec(d) != QDialog::Accepted || !edited.OkEnabled()) return false;
    setup = edited;
    return true;
}

std::optional<ExportTarget> QtExportDialogs::AskFile(const std::vector<ExportFileType>& types,
                                                     size_t initialType, const std::string& folder,
                                                     const std::string& proposedName) {
    std::unique_ptr<QFileDialog> d =
        MakeExportSaveDialog(types, initialType, folder, proposedName, openOptions_, owner_);
    if (shell_.Exec(*d) != QDialog::Accepted || d->selectedFiles().isEmpty()) return std::nullopt;
    int type = int(ExportNameFilters(types).indexOf(d->selectedNameFilter()));
    if (type < 0) return std::nullopt;
    return ExportTarget{d->selectedFiles().first().toStdString(), size_t(type)};
}

std::optional<ExportTarget> QtExportDialogs::AskFolder(const std::vector<ExportFileType>& types,
                                                       size_t initialType,
                                                       const std::string& folder,
                                                       MarkdownOptions& markdown) {
    ExportFolderDialog d(types, initialType, folder, markdown, shell_, openOptions_, owner_);
    if (shell_.Exec(d) != QDialog::Accepted || d.Folder().empty() || d.Type() >= types.size())
        return std::nullopt;
    // The Markdown options are kept whatever was chosen, as they were left.
    MarkdownOptions chosen = d.Markdown();
    markdown.wikiLinks = chosen.wikiLinks;
    markdown.headings = chosen.headings;
    markdown.includePrivate = chosen.includePrivate;
    markdown.underline = chosen.underline;
    return ExportTarget{d.Folder(), d.Type()};
}

}  // namespace qb
