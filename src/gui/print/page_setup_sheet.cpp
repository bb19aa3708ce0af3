#include "gui/print/page_setup_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/locale.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

QString Res(int id, const char* fallback) {
    const char* t = ResourceString(id);
    return QString::fromUtf8(t ? t : fallback);
}

// In the order the Format page lists them.
constexpr MarginSide kSides[] = {MarginSide::kTop, MarginSide::kBottom, MarginSide::kLeft,
                                 MarginSide::kRight};
const char* SideLabel(MarginSide side) {
    switch (side) {
        case MarginSide::kTop:
            return "&Top:";
        case MarginSide::kBottom:
            return "&Bottom:";
        case MarginSide::kLeft:
            return "&Left:";
        default:
            return "&Right:";
    }
}

}  // namespace

PageSetupSheet::PageSetupSheet(const PageSetup& setup, const Locale& locale,
                               const CodePage& codePage, ProfileStore& store, Ui& ui,
                               QWidget* parent)
    : QDialog(parent),
      start_(setup),
      result_(setup),
      locale_(locale),
      codePage_(codePage),
      store_(store),
      ui_(ui) {
    setObjectName("PageSetupSheet");
    setWindowTitle(Res(msg::kPageSetupCaption, "Page Setup"));
    tabs_ = new QTabWidget(this);
    tabs_->addTab(MakeFormatPage(), "Format");
    tabs_->addTab(MakeHeaderFooterPage(), "Header/Footer");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

QWidget* PageSetupSheet::MakeFormatPage() {
    auto* page = new QWidget;
    const bool us = locale_.Measurement() == MeasurementSystem::US;
    auto* marginBox = new QGroupBox(us ? Res(msg::kMarginsInches, "Margins (inches)")
                                       : Res(msg::kMarginsCentimetres, "Margins (cm)"),
                                    page);
    auto* marginGrid = new QFormLayout(marginBox);
    const std::string separator = locale_.DecimalSeparator();
    for (MarginSide side : kSides) {
        auto* field = new QLineEdit(marginBox);
        field->setObjectName(QString("Margin%1").arg(int(side)));
        field->setText(QString::fromStdString(
            FormatMargin(start_.Margin(side), start_.units, locale_.Measurement(), separator)));
        margins_[size_t(side)] = field;
        marginGrid->addRow(SideLabel(side), field);
    }

    auto* separationBox = new QGroupBox("Article Separation", page);
    auto* separationLayout = new QVBoxLayout(separationBox);
    separation_ = new QButtonGroup(this);
    const char* kinds[] = {"Blan&k Line", "S&olid Line", "Page Brea&k"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(kinds[i], separationBox);
        separation_->addButton(b, i);
        separationLayout->addWidget(b);
    }
    if (QAbstractButton* b = separation_->button(int(start_.separator))) b->setChecked(true);

    bold_ = new QCheckBox("Bold&face Article Titles", page);
    bold_->setChecked(start_.boldTitles);
    dates_ = new QCheckBox("Print &Article Dates", page);
    dates_->setChecked(start_.printDates);
    keywords_ = new QCheckBox("Print Article Ke&ywords", page);
    keywords_->setChecked(start_.printKeywords);
    setDefault_ = new QPushButton("Set as &Default", page);
    setDefault_->setAutoDefault(false);
    connect(setDefault_, &QPushButton::clicked, this, [this] { SetAsDefault(); });

    auto* grid = new QGridLayout(page);
    grid->addWidget(marginBox, 0, 0);
    grid->addWidget(separationBox, 0, 1);
    auto* checks = new QVBoxLayout;
    checks->addWidget(bold_);
    checks->addWidget(dates_);
    checks->addWidget(keywords_);
    grid->addLayout(checks, 1, 0);
    grid->addWidget(setDefault_, 1, 1, Qt::AlignBottom | Qt::AlignRight);
    return page;
}

QWidget* PageSetupSheet::MakeHeaderFooterPage() {
    auto* page = new QWidget;
    header_ = new QLineEdit(QString::fromStdString(codePage_.ToUtf8(start_.header)), page);
    header_->setObjectName("Header");
    footer_ = new QLineEdit(QString::fromStdString(codePage_.ToUtf8(start_.footer)), page);
    footer_->setObjectName("Footer");
    headerFirstOnly_ = new QCheckBox("P&rint Header on First Page Only", page);
    headerFirstOnly_->setChecked(start_.headerFirstPageOnly);
    footerOnFirst_ = new QCheckBox("Pri&nt Footer on First Page", page);
    footerOnFirst_->setChecked(start_.footerOnFirstPage);
    lastText_ = header_;
    for (QLineEdit* f : {header_, footer_})
        f->installEventFilter(this);

    // The buttons never take the focus: the caret and the selection of the
    // field they insert into stay where they were.
    auto button = [&](const char* text, char code) {
        auto* b = new QPushButton(text, page);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, code] { InsertCode(code); });
        return b;
    };
    page_ = button("&Page", 'P');
    date_ = button("&Date", 'D');
    time_ = button("&Time", 'T');

    auto* layout = new QVBoxLayout(page);
    auto* headerBox = new QGroupBox("Header", page);
    auto* hl = new QVBoxLayout(headerBox);
    hl->addWidget(header_);
    hl->addWidget(headerFirstOnly_);
    auto* footerBox = new QGroupBox("Footer", page);
    auto* fl = new QVBoxLayout(footerBox);
    fl->addWidget(footer_);
    fl->addWidget(footerOnFirst_);
    auto* codes = new QHBoxLayout;
    codes->addWidget(new QLabel("Insert:", page));
    codes->addWidget(page_);
    codes->addWidget(date_);
    codes->addWidget(time_);
    codes->addStretch();
    layout->addWidget(headerBox);
    layout->addWidget(footerBox);
    layout->addLayout(codes);
    layout->addStretch();
    return page;
}

QPushButton* PageSetupSheet::CodeButton(char code) const {
    switch (code) {
        case 'P':
            return page_;
        case 'D':
            return date_;
        case 'T':
            return time_;
        default:
            return nullptr;
    }
}

bool PageSetupSheet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == header_ || watched == footer_)) {
        auto* field = static_cast<QLineEdit*>(watched);
        lastText_ = field;
        // Selected after the click that brought the focus has placed the caret.
        QTimer::singleShot(0, field, [field] { field->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

void PageSetupSheet::InsertCode(char code) {
    QLineEdit* field = lastText_ ? lastText_.data() : header_;
    field->insert(QString("&") + QChar(code));  // replaces the selection
    field->setFocus(Qt::OtherFocusReason);
}

QLineEdit* PageSetupSheet::Read(PageSetup& out) const {
    const std::string separator = locale_.DecimalSeparator();
    int16_t values[4] = {};
    for (MarginSide side : kSides) {
        QLineEdit* field = margins_[size_t(side)];
        std::optional<int16_t> v = ParseMargin(field->text().toStdString(), separator);
        if (!v) return field;
        values[size_t(side)] = *v;
    }
    // The margins are stored in the unit they were typed in: the locale's.
    for (MarginSide side : kSides)
        out.SetMargin(side, values[size_t(side)]);
    out.units = UnitsOf(locale_.Measurement());
    int separation = separation_->checkedId();
    if (separation >= 0) out.separator = ArticleSeparator(separation);
    out.boldTitles = bold_->isChecked();
    out.printDates = dates_->isChecked();
    out.printKeywords = keywords_->isChecked();
    out.headerFirstPageOnly = headerFirstOnly_->isChecked();
    out.footerOnFirstPage = footerOnFirst_->isChecked();
    // Characters the file's code page lacks become "?", as the file would keep them.
    out.header = codePage_.FromUtf8(header_->text().toStdString()).bytes;
    out.footer = codePage_.FromUtf8(footer_->text().toStdString()).bytes;
    return nullptr;
}

bool PageSetupSheet::Apply() {
    PageSetup next = result_;
    if (QLineEdit* bad = Read(next)) {
        ui_.MessageBox(
            Res(msg::kMarginsInvalid, "Enter a positive number in each of the Margins fields.")
                .toStdString(),
            MessageIcon::Exclamation);
        tabs_->setCurrentIndex(0);
        bad->setFocus(Qt::OtherFocusReason);
        bad->selectAll();
        return false;
    }
    next.modified = true;
    result_ = next;
    return true;
}

void PageSetupSheet::accept() {
    if (Apply()) QDialog::accept();
}

void PageSetupSheet::SetAsDefault() {
    const char* question = ResourceString(msg::kPageSetupDefaultsQuestion);
    if (ui_.MessageBox(question ? question : "", MessageIcon::Question, MessageButtons::YesNo) !=
        MessageResult::Yes)
        return;
    if (!Apply()) return;
    result_.SaveDefaults(store_);  // a failed save has been reported by the store
}

bool PageSetupSheet::DatesOrKeywordsChanged() const {
    return result_.printDates != start_.printDates || result_.printKeywords != start_.printKeywords;
}

}  // namespace qb
