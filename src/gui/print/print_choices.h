// The print dialog's own groups, added to the system print dialog as a tab:
// Print Range, Sort by (Titles or Dates, Ascending or Descending), Print
// What and the Page Setup button. The rules are ExportSetup's: which ranges
// can be chosen, the range it starts with, Number Titles List only in
// titles-only mode, OK only with something to print.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "export/export_setup.h"
#include "print/print_articles.h"

class QAbstractButton;
class QCheckBox;
class QPushButton;
class QRadioButton;

namespace qb {

class PrintChoices : public QWidget {
    Q_OBJECT
public:
    // `pageSetup` runs the Page Setup sheet and answers the print-dates and
    // print-keywords choices when they changed there (Include Dates and
    // Include Keywords then follow them).
    struct PageSetupAnswer {
        bool changed = false;
        bool printDates = false, printKeywords = false;
    };
    PrintChoices(const PrintOptions& options, const ExportContext& context,
                 std::function<PageSetupAnswer()> pageSetup, QWidget* parent = nullptr);

    // The choices made (copies are the printer's).
    PrintOptions Options() const;
    bool OkEnabled() const { return setup_.OkEnabled(); }

    QRadioButton* RangeButton(ExportRange range) const { return ranges_.at(range); }
    QCheckBox* FlagBox(uint16_t flag) const { return flags_.at(flag); }
    QRadioButton* ByDate() const { return byDate_; }
    QRadioButton* Descending() const { return descending_; }
    QPushButton* PageSetupButton() const { return pageSetupButton_; }

signals:
    // Whether OK may be pressed changed.
    void okEnabledChanged(bool enabled);

private:
    void Refresh();
    void RunPageSetup();

    ExportSetup setup_;
    int32_t copies_;
    std::function<PageSetupAnswer()> pageSetup_;
    std::map<ExportRange, QRadioButton*> ranges_;
    std::map<uint16_t, QCheckBox*> flags_;
    QRadioButton *byTitle_ = nullptr, *byDate_ = nullptr;
    QRadioButton *ascending_ = nullptr, *descending_ = nullptr;
    QPushButton* pageSetupButton_ = nullptr;
};

}  // namespace qb
