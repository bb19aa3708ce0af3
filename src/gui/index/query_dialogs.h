// The query dialogs: "Build Query" over BuildQueryModel, "Select a Keyword
// Group" and "Select Query to Run". They show their model's state and hand
// every button to it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "index/build_query.h"
#include "platform/code_page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QPlainTextEdit;

namespace qb {

class IndexModel;
class IndexSource;
class Locale;
class SavedQueryList;
class Ui;
class NamedIdList;

class CBuildQueryDialog : public QDialog {
    Q_OBJECT
public:
    CBuildQueryDialog(IndexModel& index, IndexSource& source, const Locale& locale, Ui& ui,
                      QueryExpression& current, int pivotYear, std::function<int(QDialog&)> exec,
                      QWidget* parent = nullptr);
    ~CBuildQueryDialog() override;

    BuildQueryModel& Model() { return *model_; }
    QLineEdit* ExpressionField() const { return expr_; }
    QLineEdit* FromField() const { return from_; }
    QLineEdit* ToField() const { return to_; }
    QListWidget* Keywords() const { return keywords_; }
    QPushButton* Button(const QString& objectName) const;

    // The buttons, also for tests.
    void InsertOperator(int32_t code);
    void InsertKeywordRow(int row);
    void ChooseGroup();
    void ClickOk();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void TakeSelection();  // the field's selection into the model
    void Show();           // the model into the fields and buttons
    void ShowControls();   // the same without the expression field

    IndexSource& source_;
    Ui& ui_;
    std::function<int(QDialog&)> exec_;
    NamedIdList& groups_;
    std::unique_ptr<BuildQueryModel> model_;
    QLineEdit* expr_ = nullptr;
    QLineEdit *from_ = nullptr, *to_ = nullptr;
    QLabel *fromLabel_ = nullptr, *toLabel_ = nullptr;
    QListWidget* keywords_ = nullptr;
    bool showing_ = false;
};

// A list of the document's keyword groups; Chosen() after OK.
class CSelectGroupDialog : public QDialog {
    Q_OBJECT
public:
    CSelectGroupDialog(NamedIdList& groups, QWidget* parent = nullptr);
    int32_t Chosen() const;
    QListWidget* List() const { return list_; }

private:
    NamedIdList& groups_;
    QListWidget* list_ = nullptr;
};

// All saved queries by name with the highlighted one's text and dates.
class CSelectQueryDialog : public QDialog {
    Q_OBJECT
public:
    // The queries' names and texts are in the code page `page`.
    CSelectQueryDialog(const SavedQueryList& queries, const Locale& locale,
                       QWidget* parent = nullptr, CodePage page = CodePage());
    // The table index of the query to run, or -1.
    int32_t Chosen() const;
    QListWidget* List() const { return list_; }
    QPlainTextEdit* Text() const { return text_; }
    QLineEdit* From() const { return from_; }
    QLineEdit* To() const { return to_; }

private:
    void ShowQuery();

    const SavedQueryList& queries_;
    const Locale& locale_;
    CodePage page_;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLineEdit *from_ = nullptr, *to_ = nullptr;
    QPushButton* run_ = nullptr;
};

}  // namespace qb
