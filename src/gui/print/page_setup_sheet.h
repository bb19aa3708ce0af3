// The "Page Setup" sheet: the Format page (margins in the locale's unit,
// article separation, bold titles, dates and keywords, Set as Default) and
// the Header/Footer page (the two texts with their first-page choices and
// the buttons that insert the page, date and time codes). It edits a copy;
// the caller keeps the result for the open file only (never the data file).
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

#include "platform/code_page.h"
#include "print/page_setup.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace qb {

class Locale;
class ProfileStore;
class Ui;

class PageSetupSheet : public QDialog {
    Q_OBJECT
public:
    // `store` receives Set as Default; `codePage` is the file's, in which the
    // header and footer are kept.
    PageSetupSheet(const PageSetup& setup, const Locale& locale, const CodePage& codePage,
                   ProfileStore& store, Ui& ui, QWidget* parent = nullptr);

    // The values after OK (the starting ones until then).
    const PageSetup& Result() const { return result_; }
    // Whether OK changed the print-dates or print-keywords choice: the
    // print dialog's Include Dates and Include Keywords follow them.
    bool DatesOrKeywordsChanged() const;

    // The fields, for tests and the print dialog.
    QLineEdit* MarginField(MarginSide side) const { return margins_[size_t(side)]; }
    QLineEdit* HeaderField() const { return header_; }
    QLineEdit* FooterField() const { return footer_; }
    QPushButton* CodeButton(char code) const;  // 'P', 'D' or 'T'
    QPushButton* SetAsDefaultButton() const { return setDefault_; }
    QCheckBox* BoldTitles() const { return bold_; }
    QCheckBox* PrintDates() const { return dates_; }
    QCheckBox* PrintKeywords() const { return keywords_; }
    QButtonGroup* Separation() const { return separation_; }

    // OK: reads the page into Result(); false (the sheet stays open, the
    // field has the focus) when a margin is not a positive number.
    bool Apply();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeFormatPage();
    QWidget* MakeHeaderFooterPage();
    void InsertCode(char code);
    void SetAsDefault();
    // Reads the pages into `out`; the first bad margin field, or null.
    QLineEdit* Read(PageSetup& out) const;

    PageSetup start_, result_;
    const Locale& locale_;
    CodePage codePage_;
    ProfileStore& store_;
    Ui& ui_;
    QTabWidget* tabs_ = nullptr;
    std::array<QLineEdit*, 4> margins_{};
    QButtonGroup* separation_ = nullptr;
    QCheckBox *bold_ = nullptr, *dates_ = nullptr, *keywords_ = nullptr;
    QPushButton* setDefault_ = nullptr;
    QLineEdit *header_ = nullptr, *footer_ = nullptr;
    QCheckBox *headerFirstOnly_ = nullptr, *footerOnFirst_ = nullptr;
    QPushButton *page_ = nullptr, *date_ = nullptr, *time_ = nullptr;
    QPointer<QLineEdit> lastText_;  // where the code buttons insert
};

}  // namespace qb
