// "Index Report Setup" and "Keyword Usage Report Setup": the Available and
// Included keyword lists with ">>", "<<", "&Clear" and "Select &All", and
// each dialog's own fields. The rules are ReportKeywordLists and the
// functions of export/report_setup.h; these only show them.
#pragma once

#include <QDialog>

#include "export/report.h"
#include "export/report_setup.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace qb {

class Locale;
class Ui;

// The two lists and their four buttons; the dialogs put it at their top.
class ReportKeywordPicker : public QWidget {
    Q_OBJECT
public:
    ReportKeywordPicker(ReportKeywordLists lists, const CodePage& page, QWidget* parent = nullptr);
    const ReportKeywordLists& Lists() const { return lists_; }
    QListWidget* Available() const { return available_; }
    QListWidget* Included() const { return included_; }
    QPushButton* IncludeButton() const { return include_; }
    QPushButton* ExcludeButton() const { return exclude_; }
    QPushButton* ClearButton() const { return clear_; }
    QPushButton* SelectAllButton() const { return selectAll_; }

signals:
    void Changed();

private:
    void Fill();
    static std::vector<int32_t> Chosen(const QListWidget* list);

    ReportKeywordLists lists_;
    CodePage page_;
    QListWidget* available_ = nullptr;
    QListWidget* included_ = nullptr;
    QPushButton* include_ = nullptr;
    QPushButton* exclude_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* selectAll_ = nullptr;
};

class CIndexReportSetupDlg : public QDialog {
    Q_OBJECT
public:
    // `showMore` is the stored IndexReportMode: the Report Range and Dates
    // groups shown. Dates are read through `locale`, a mistake told by `ui`.
    CIndexReportSetupDlg(ReportKeywordLists lists, const CodePage& page,
                         const ReportRangeChoices& ranges, bool showMore, const Locale& locale,
                         Ui& ui, QWidget* parent = nullptr);

    ReportKeywordPicker* Picker() const { return picker_; }
    QRadioButton* RangeButton(ReportRange r) const;
    QLineEdit* FromField() const { return from_; }
    QLineEdit* ToField() const { return to_; }
    QPushButton* MoreButton() const { return more_; }
    QPushButton* OkButton() const { return ok_; }
    bool ShowsMore() const { return showMore_; }
    // Valid after OK: the keywords, range and dates (rangeArticles are the
    // caller's, from the index window).
    const ReportParameters& Parameters() const { return params_; }

    void accept() override;

private:
    void SetMore(bool on);

    const Locale& locale_;
    Ui& ui_;
    ReportKeywordPicker* picker_ = nullptr;
    QGroupBox* range_ = nullptr;
    QGroupBox* dates_ = nullptr;
    QButtonGroup* rangeGroup_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QPushButton* more_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool showMore_ = true;
    ReportParameters params_;
};

class CUsageReportSetupDlg : public QDialog {
    Q_OBJECT
public:
    CUsageReportSetupDlg(ReportKeywordLists lists, const CodePage& page, UsageCountRange counts,
                         QWidget* parent = nullptr);

    ReportKeywordPicker* Picker() const { return picker_; }
    QSpinBox* AtLeast() const { return atLeast_; }
    QSpinBox* NoMoreThan() const { return noMore_; }
    QRadioButton* ByCount() const { return byCount_; }
    QRadioButton* Descending() const { return descending_; }
    QPushButton* OkButton() const { return ok_; }
    const ReportParameters& Parameters() const { return params_; }

    void accept() override;

private:
    ReportKeywordPicker* picker_ = nullptr;
    QSpinBox* atLeast_ = nullptr;
    QSpinBox* noMore_ = nullptr;
    QRadioButton* byCount_ = nullptr;
    QRadioButton* descending_ = nullptr;
    QPushButton* ok_ = nullptr;
    ReportParameters params_;
};

}  // namespace qb
