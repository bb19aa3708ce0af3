#include "gui/print/print_choices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qb {
namespace {

ExportOptions AsExport(const PrintOptions& p) {
    ExportOptions e;
    e.range = p.range;
    e.sort = p.sort;
    e.flags = p.flags & ~export_flags::kHeader;  // prints have no export header
    return e;
}

}  // namespace

PrintChoices::PrintChoices(const PrintOptions& options, const ExportContext& context,
                           std::function<PageSetupAnswer()> pageSetup, QWidget* parent)
    : QWidget(parent),
      setup_(AsExport(options), context),
      copies_(options.copies),
      pageSetup_(std::move(pageSetup)) {
    setObjectName("PrintChoices");
    setWindowTitle("Articles");

    auto* rangeBox = new QGroupBox("Print Range", this);
    auto* rangeLayout = new QVBoxLayout(rangeBox);
    auto* rangeGroup = new QButtonGroup(this);
    const std::pair<ExportRange, const char*> kRanges[] = {
        {ExportRange::kAll, "&All Articles"},
        {ExportRange::kBookmarked, "&Bookmarked Articles"},
        {ExportRange::kSelected, "&Selected Articles"},
        {ExportRange::kCurrent, "&Current Article"},
        {ExportRange::kHighlighted, "&Highlighted Articles"}};
    for (auto [range, text] : kRanges) {
        auto* b = new QRadioButton(text, rangeBox);
        ranges_[range] = b;
        rangeGroup->addButton(b);
        rangeLayout->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this, range = range](bool on) {
            if (on) setup_.SetRange(range);
        });
    }

    auto* sortBox = new QGroupBox("Sort by", this);
    auto* sortLayout = new QGridLayout(sortBox);
    auto* what = new QButtonGroup(this);
    auto* order = new QButtonGroup(this);
    byTitle_ = new QRadioButton("T&itles", sortBox);
    byDate_ = new QRadioButton("Da&tes", sortBox);
    ascending_ = new QRadioButton("As&cending", sortBox);
    descending_ = new QRadioButton("D&escending", sortBox);
    what->addButton(byTitle_);
    what->addButton(byDate_);
    order->addButton(ascending_);
    order->addButton(descending_);
    sortLayout->addWidget(byTitle_, 0, 0);
    sortLayout->addWidget(byDate_, 1, 0);
    sortLayout->addWidget(ascending_, 0, 1);
    sortLayout->addWidget(descending_, 1, 1);
    (setup_.SortsByDate() ? byDate_ : byTitle_)->setChecked(true);
    (setup_.SortsDescending() ? descending_ : ascending_)->setChecked(true);
    for (QRadioButton* b : {byTitle_, byDate_, ascending_, descending_})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) setup_.SetSort(byDate_->isChecked(), descending_->isChecked());
        });

    auto* whatBox = new QGroupBox("Print What", this);
    auto* whatLayout = new QVBoxLayout(whatBox);
    const std::pair<uint16_t, const char*> kFlags[] = {
        {export_flags::kTitles, "Include Tit&les"},
        {export_flags::kNumbers, "&Number Titles List"},
        {export_flags::kDates, "Include &Dates"},
        {export_flags::kAttachments, "Include Attach&ments"},
        {export_flags::kKeywords, "Include &Keywords"},
        {export_flags::kContent, "Include Article C&ontent"}};
    for (auto [flag, text] : kFlags) {
        auto* box = new QCheckBox(text, whatBox);
        flags_[flag] = box;
        whatLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, flag = flag](bool on) {
            setup_.SetFlag(flag, on);
            Refresh();
        });
    }

    pageSetupButton_ = new QPushButton("&Page Setup...", this);
    pageSetupButton_->setAutoDefault(false);
    connect(pageSetupButton_, &QPushButton::clicked, this, [this] { RunPageSetup(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(rangeBox, 0, 0);
    grid->addWidget(whatBox, 0, 1, 2, 1);
    grid->addWidget(sortBox, 1, 0);
    grid->addWidget(pageSetupButton_, 2, 1, Qt::AlignRight);
    Refresh();
}

void PrintChoices::Refresh() {
    for (auto& [range, button] : ranges_) {
        QSignalBlocker block(button);
        button->setEnabled(setup_.RangeEnabled(range));
        button->setChecked(setup_.Range() == range);
    }
    for (auto& [flag, box] : flags_) {
        QSignalBlocker block(box);
        box->setChecked(setup_.Has(flag));
    }
    flags_.at(export_flags::kNumbers)->setEnabled(setup_.NumbersEnabled());
    emit okEnabledChanged(setup_.OkEnabled());
}

void PrintChoices::RunPageSetup() {
    if (!pageSetup_) return;
    PageSetupAnswer a = pageSetup_();
    if (!a.changed) return;
    setup_.SetFlag(export_flags::kDates, a.printDates);
    setup_.SetFlag(export_flags::kKeywords, a.printKeywords);
    Refresh();
}

PrintOptions PrintChoices::Options() const {
    PrintOptions p;
    p.range = setup_.Range();
    p.sort = setup_.Sort();
    p.flags = setup_.Options().flags & ~export_flags::kHeader;
    p.copies = copies_;
    return p;
}

}  // namespace qb
