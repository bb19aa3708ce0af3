// CFindDlg: the modeless Find dialog. It shows a FindOptions and the range
// availability of find_options.h and hands presses of Find to its owner;
// what Find does is FindPresenter's. The controls carry the names of the
// dialog's control ids ("FindWhat", "RangeAll", ...) for tests.
#pragma once

#include <QDialog>
#include <functional>

#include "article/find_options.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qb {

class CFindDlg : public QDialog {
    Q_OBJECT
public:
    // `context` tells what the windows and the document offer now.
    CFindDlg(std::function<FindContext()> context, QWidget* parent = nullptr);
    ~CFindDlg() override;

    // Fills the controls, then applies the availability.
    void SetOptions(const FindOptions& options);
    // The options as the controls hold them; with no range button
    // checked the range is All Articles.
    FindOptions Options() const;
    // Enables and checks the range buttons, the date fields and Show Only
    // Titles for the chosen range and the context, then the Find button.
    void Reevaluate();
    // Selects the text of a date field and gives it the focus.
    void FocusDate(DateField field);

    // ---- Controls, for tests
    QLineEdit* FindWhat() const { return findWhat_; }
    QLineEdit* DateFrom() const { return dateFrom_; }
    QLineEdit* DateTo() const { return dateTo_; }
    QRadioButton* RangeButton(FindRange range) const;
    QRadioButton* WhereButton(FindWhere where) const;
    QCheckBox* TitlesOnly() const { return titlesOnly_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QCheckBox* WholeWord() const { return wholeWord_; }
    QPushButton* FindButton() const { return find_; }
    QPushButton* CloseButton() const { return close_; }
    QPushButton* HelpButton() const { return help_; }

signals:
    void findPressed();
    void helpPressed();

private:
    void UpdateFindButton();

    std::function<FindContext()> context_;
    QLineEdit* findWhat_ = nullptr;
    QLineEdit* dateFrom_ = nullptr;
    QLineEdit* dateTo_ = nullptr;
    QButtonGroup* ranges_ = nullptr;
    QButtonGroup* wheres_ = nullptr;
    QCheckBox* titlesOnly_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* help_ = nullptr;
};

}  // namespace qb
