#include "gui/article/find_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/help_guide.h"
#include "article/article_search.h"
#include "gui/app/help_window.h"

namespace qb {

namespace {

struct RangeText {
    FindRange range;
    const char* name;
    const char* text;
};
// In the dialog's order: Highlighted comes before Current Article.
const RangeText kRanges[] = {
    {FindRange::kAll, "RangeAll", "A&ll Articles"},
    {FindRange::kBookmarked, "RangeBookmarked", "Boo&kmarked Articles"},
    {FindRange::kSelected, "RangeSelected", "&Selected Articles"},
    {FindRange::kHighlighted, "RangeHighlighted", "Hi&ghlighted Articles"},
    {FindRange::kCurrentArticle, "RangeCurrentArticle", "C&urrent Article"},
};

struct WhereText {
    FindWhere where;
    const char* name;
    const char* text;
};
const WhereText kWheres[] = {
    {FindWhere::kTitleAndText, "WhereTitleAndText", "Article && Title Te&xt"},
    {FindWhere::kTextOnly, "WhereTextOnly", "Article T&ext Only"},
    {FindWhere::kTitleOnly, "WhereTitleOnly", "T&itle Text Only"},
};

QString Qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CFindDlg::CFindDlg(std::function<FindContext()> context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setObjectName("FindDialog");
    setProperty(kHelpPageProperty, QString(help::kFind));
    setWindowTitle(kFindCaption);
    setModal(false);

    auto* top = new QGridLayout;
    auto* whatLabel = new QLabel("Fi&nd What:", this);
    findWhat_ = new QLineEdit(this);
    findWhat_->setObjectName("FindWhat");
    whatLabel->setBuddy(findWhat_);
    auto* datesLabel = new QLabel("&Dates:", this);
    dateFrom_ = new QLineEdit(this);
    dateFrom_->setObjectName("DateFrom");
    datesLabel->setBuddy(dateFrom_);
    auto* toLabel = new QLabel("to", this);
    dateTo_ = new QLineEdit(this);
    dateTo_->setObjectName("DateTo");
    toLabel->setBuddy(dateTo_);
    auto* dates = new QHBoxLayout;
    dates->addWidget(dateFrom_);
    dates->addWidget(toLabel);
    dates->addWidget(dateTo_);
    top->addWidget(whatLabel, 0, 0);
    top->addWidget(findWhat_, 0, 1);
    top->addWidget(datesLabel, 1, 0);
    top->addLayout(dates, 1, 1);

    auto* rangeBox = new QGroupBox("Search Range", this);
    auto* rangeLayout = new QVBoxLayout(rangeBox);
    ranges_ = new QButtonGroup(this);
    for (const RangeText& r : kRanges) {
        auto* b = new QRadioButton(r.text, rangeBox);
        b->setObjectName(r.name);
        ranges_->addButton(b, int(r.range));
        rangeLayout->addWidget(b);
    }
    auto* whereBox = new QGroupBox("Search", this);
    auto* whereLayout = new QVBoxLayout(whereBox);
    wheres_ = new QButtonGroup(this);
    for (const WhereText& w : kWheres) {
        auto* b = new QRadioButton(w.text, whereBox);
        b->setObjectName(w.name);
        wheres_->addButton(b, int(w.where));
        whereLayout->addWidget(b);
    }
    titlesOnly_ = new QCheckBox("Show &Only Titles", this);
    titlesOnly_->setObjectName("TitlesOnly");
    matchCase_ = new QCheckBox("Match &Case", this);
    matchCase_->setObjectName("MatchCase");
    wholeWord_ = new QCheckBox("&Whole Word", this);
    wholeWord_->setObjectName("WholeWord");
    auto* checks = new QVBoxLayout;
    checks->addWidget(whereBox);
    checks->addWidget(titlesOnly_);
    checks->addWidget(matchCase_);
    checks->addWidget(wholeWord_);
    checks->addStretch();

    find_ = new QPushButton("&Find", this);
    find_->setObjectName("FindButton");
    find_->setDefault(true);
    close_ = new QPushButton("Close", this);
    close_->setObjectName("CloseButton");
    close_->setAutoDefault(false);
    help_ = new QPushButton("&Help", this);
    help_->setObjectName("HelpButton");
    help_->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(find_);
    buttons->addWidget(close_);
    buttons->addWidget(help_);
    buttons->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(rangeBox);
    middle->addLayout(checks);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(middle);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);

    connect(findWhat_, &QLineEdit::textChanged, this, [this] { UpdateFindButton(); });
    connect(dateFrom_, &QLineEdit::textChanged, this, [this] { UpdateFindButton(); });
    connect(dateTo_, &QLineEdit::textChanged, this, [this] { UpdateFindButton(); });
    connect(ranges_, &QButtonGroup::idClicked, this, [this] { Reevaluate(); });
    connect(find_, &QPushButton::clicked, this, [this] {
        if (find_->isEnabled()) emit findPressed();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this, &CFindDlg::helpPressed);
}

CFindDlg::~CFindDlg() = default;

QRadioButton* CFindDlg::RangeButton(FindRange range) const {
    return static_cast<QRadioButton*>(ranges_->button(int(range)));
}

QRadioButton* CFindDlg::WhereButton(FindWhere where) const {
    return static_cast<QRadioButton*>(wheres_->button(int(where)));
}

void CFindDlg::SetOptions(const FindOptions& o) {
    findWhat_->setText(Qs(o.text));
    dateFrom_->setText(Qs(o.dateFrom));
    dateTo_->setText(Qs(o.dateTo));
    if (QAbstractButton* b = ranges_->button(int(o.range))) b->setChecked(true);
    if (QAbstractButton* b = wheres_->button(int(o.where))) b->setChecked(true);
    titlesOnly_->setChecked(o.titlesOnly);
    matchCase_->setChecked(o.matchCase);
    wholeWord_->setChecked(o.wholeWord);
    Reevaluate();
}

FindOptions CFindDlg::Options() const {
    FindOptions o;
    o.text = findWhat_->text().toStdString();
    o.dateFrom = dateFrom_->text().toStdString();
    o.dateTo = dateTo_->text().toStdString();
    int range = ranges_->checkedId();
    o.range = range < 0 ? FindRange::kAll : FindRange(range);
    int where = wheres_->checkedId();
    o.where = where < 0 ? FindWhere::kTitleAndText : FindWhere(where);
    o.titlesOnly = titlesOnly_->isChecked();
    o.matchCase = matchCase_->isChecked();
    o.wholeWord = wholeWord_->isChecked();
    return o;
}

void CFindDlg::Reevaluate() {
    int checked = ranges_->checkedId();
    FindRange chosen = checked < 0 ? FindRange::kAll : FindRange(checked);
    FindAvailability a = Availability(chosen, context_ ? context_() : FindContext());
    RangeButton(FindRange::kBookmarked)->setEnabled(a.bookmarked);
    RangeButton(FindRange::kCurrentArticle)->setEnabled(a.currentArticle);
    if (checked >= 0 && a.checked != chosen) {
        // An exclusive group keeps one button checked; none may be now.
        ranges_->setExclusive(false);
        ranges_->button(checked)->setChecked(false);
        ranges_->setExclusive(true);
        if (a.checked) ranges_->button(int(*a.checked))->setChecked(true);
    }
    dateFrom_->setEnabled(a.datesAndTitlesOnly);
    dateTo_->setEnabled(a.datesAndTitlesOnly);
    titlesOnly_->setEnabled(a.datesAndTitlesOnly);
    UpdateFindButton();
}

void CFindDlg::UpdateFindButton() {
    find_->setEnabled(FindEnabled(Options()));
}

void CFindDlg::FocusDate(DateField field) {
    QLineEdit* e = field == DateField::kFrom ? dateFrom_ : dateTo_;
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
}

}  // namespace qb
