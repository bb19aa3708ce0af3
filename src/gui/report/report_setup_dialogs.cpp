#include "gui/report/report_setup_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/locale.h"

namespace qb {
namespace {

QDialogButtonBox* OkCancel(QDialog* d, QPushButton*& ok) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    ok = box->button(QDialogButtonBox::Ok);
    QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return box;
}

}  // namespace

ReportKeywordPicker::ReportKeywordPicker(ReportKeywordLists lists, const CodePage& page,
                                         QWidget* parent)
    : QWidget(parent), lists_(std::move(lists)), page_(page) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel("Available:", this), 0, 0);
    grid->addWidget(new QLabel("Included:", this), 0, 2);
    available_ = new QListWidget(this);
    included_ = new QListWidget(this);
    for (QListWidget* l : {available_, included_})
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(available_, 1, 0);
    grid->addWidget(included_, 1, 2);
    auto* buttons = new QVBoxLayout;
    include_ = new QPushButton(">>", this);
    exclude_ = new QPushButton("<<", this);
    clear_ = new QPushButton("&Clear", this);
    selectAll_ = new QPushButton("Select &All", this);
    buttons->addStretch();
    for (QPushButton* b : {include_, exclude_, clear_, selectAll_})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);

    connect(include_, &QPushButton::clicked, this, [this] {
        lists_.Include(Chosen(available_));
        Fill();
    });
    connect(exclude_, &QPushButton::clicked, this, [this] {
        lists_.Exclude(Chosen(included_));
        Fill();
    });
    connect(clear_, &QPushButton::clicked, this, [this] {
        lists_.Clear();
        Fill();
    });
    // Selects every available keyword; ">>" then includes them.
    connect(selectAll_, &QPushButton::clicked, this, [this] {
        available_->selectAll();
        available_->setFocus();
    });
    connect(available_, &QListWidget::itemDoubleClicked, this, [this] { include_->click(); });
    connect(included_, &QListWidget::itemDoubleClicked, this, [this] { exclude_->click(); });
    Fill();
}

void ReportKeywordPicker::Fill() {
    auto fill = [this](QListWidget* list, const std::vector<ReportKeyword>& keywords) {
        list->clear();
        for (const ReportKeyword& k : keywords) {
            auto* item = new QListWidgetItem(QString::fromStdString(page_.ToUtf8(k.name)), list);
            item->setData(Qt::UserRole, k.id);
        }
    };
    fill(available_, lists_.Available());
    fill(included_, lists_.Included());
    emit Changed();
}

std::vector<int32_t> ReportKeywordPicker::Chosen(const QListWidget* list) {
    std::vector<int32_t> ids;
    for (const QListWidgetItem* item : list->selectedItems())
        ids.push_back(item->data(Qt::UserRole).toInt());
    return ids;
}

CIndexReportSetupDlg::CIndexReportSetupDlg(ReportKeywordLists lists, const CodePage& page,
                                           const ReportRangeChoices& ranges, bool showMore,
                                           const Locale& locale, Ui& ui, QWidget* parent)
    : QDialog(parent), locale_(locale), ui_(ui) {
    setObjectName("CIndexReportSetupDlg");
    setWindowTitle("Index Report Setup");
    auto* layout = new QVBoxLayout(this);
    picker_ = new ReportKeywordPicker(std::move(lists), page, this);
    layout->addWidget(picker_);

    range_ = new QGroupBox("Report Range", this);
    auto* rl = new QVBoxLayout(range_);
    rangeGroup_ = new QButtonGroup(this);
    const std::pair<ReportRange, const char*> kinds[] = {
        {ReportRange::kAll, "&All Articles"},
        {ReportRange::kBookmarked, "&Bookmarked Articles"},
        {ReportRange::kSelected, "&Selected Articles"},
        {ReportRange::kHighlighted, "&Highlighted Articles"}};
    for (const auto& [r, text] : kinds) {
        auto* b = new QRadioButton(text, range_);
        b->setEnabled(ranges.Allows(r));
        rangeGroup_->addButton(b, int(r));
        rl->addWidget(b);
    }
    RangeButton(ReportRange::kAll)->setChecked(true);
    layout->addWidget(range_);

    dates_ = new QGroupBox("Dates", this);
    auto* dl = new QHBoxLayout(dates_);
    from_ = new QLineEdit(dates_);
    to_ = new QLineEdit(dates_);
    QString pattern = QString::fromStdString(locale.ShortDatePattern()).toUpper();
    from_->setPlaceholderText(pattern);
    to_->setPlaceholderText(pattern);
    dl->addWidget(new QLabel("&From:", dates_));
    dl->addWidget(from_);
    dl->addWidget(new QLabel("&To:", dates_));
    dl->addWidget(to_);
    layout->addWidget(dates_);

    auto* bottom = new QHBoxLayout;
    more_ = new QPushButton(this);
    bottom->addWidget(more_);
    bottom->addStretch();
    bottom->addWidget(OkCancel(this, ok_));
    layout->addLayout(bottom);
    connect(more_, &QPushButton::clicked, this, [this] { SetMore(!showMore_); });
    connect(picker_, &ReportKeywordPicker::Changed, this,
            [this] { ok_->setEnabled(picker_->Lists().CanRun()); });
    ok_->setEnabled(picker_->Lists().CanRun());
    SetMore(showMore);
}

QRadioButton* CIndexReportSetupDlg::RangeButton(ReportRange r) const {
    return static_cast<QRadioButton*>(rangeGroup_->button(int(r)));
}

void CIndexReportSetupDlg::SetMore(bool on) {
    showMore_ = on;
    range_->setVisible(on);
    dates_->setVisible(on);
    more_->setText(on ? "L&ess" : "Mor&e");
    adjustSize();
}

void CIndexReportSetupDlg::accept() {
    if (!picker_->Lists().CanRun()) return;
    ReportParameters p;
    if (!ReadReportDates(from_->text().trimmed().toStdString(), to_->text().trimmed().toStdString(),
                         locale_, ui_, p)) {
        from_->setFocus();
        return;
    }
    p.keywords = picker_->Lists().IncludedIds();
    int r = rangeGroup_->checkedId();
    p.range = r < 0 ? ReportRange::kAll : ReportRange(r);
    params_ = std::move(p);
    QDialog::accept();
}

CUsageReportSetupDlg::CUsageReportSetupDlg(ReportKeywordLists lists, const CodePage& page,
                                           UsageCountRange counts, QWidget* parent)
    : QDialog(parent) {
    setObjectName("CUsageReportSetupDlg");
    setWindowTitle("Keyword Usage Report Setup");
    auto* layout = new QVBoxLayout(this);
    picker_ = new ReportKeywordPicker(std::move(lists), page, this);
    layout->addWidget(picker_);

    auto* count = new QGroupBox("Count Range", this);
    auto* cl = new QHBoxLayout(count);
    atLeast_ = new QSpinBox(count);
    noMore_ = new QSpinBox(count);
    for (QSpinBox* s : {atLeast_, noMore_})
        s->setRange(counts.low, counts.high);
    atLeast_->setValue(counts.low);
    noMore_->setValue(counts.high);
    cl->addWidget(new QLabel("At &least:", count));
    cl->addWidget(atLeast_);
    cl->addWidget(new QLabel("&No more than:", count));
    cl->addWidget(noMore_);
    layout->addWidget(count);

    auto* sort = new QGroupBox("Sort by", this);
    auto* sl = new QGridLayout(sort);
    auto* byName = new QRadioButton("&Keywords", sort);
    byCount_ = new QRadioButton("C&ount", sort);
    auto* ascending = new QRadioButton("&Ascending", sort);
    descending_ = new QRadioButton("&Descending", sort);
    auto* what = new QButtonGroup(this);
    what->addButton(byName);
    what->addButton(byCount_);
    auto* order = new QButtonGroup(this);
    order->addButton(ascending);
    order->addButton(descending_);
    byName->setChecked(true);
    ascending->setChecked(true);
    sl->addWidget(byName, 0, 0);
    sl->addWidget(byCount_, 1, 0);
    sl->addWidget(ascending, 0, 1);
    sl->addWidget(descending_, 1, 1);
    layout->addWidget(sort);
    layout->addWidget(OkCancel(this, ok_));
    connect(picker_, &ReportKeywordPicker::Changed, this,
            [this] { ok_->setEnabled(picker_->Lists().CanRun()); });
    ok_->setEnabled(picker_->Lists().CanRun());
}

void CUsageReportSetupDlg::accept() {
    if (!picker_->Lists().CanRun()) return;
    ReportParameters p;
    p.keywords = picker_->Lists().IncludedIds();
    p.minimum = atLeast_->value();
    p.maximum = noMore_->value();
    p.sort = UsageSortOf(byCount_->isChecked(), descending_->isChecked());
    params_ = std::move(p);
    QDialog::accept();
}

}  // namespace qb
