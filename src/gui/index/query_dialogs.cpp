#include "gui/index/query_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/help_guide.h"
#include "datafile/dates.h"
#include "gui/app/help_window.h"
#include "index/index_model.h"
#include "index/index_source.h"
#include "index/saved_queries.h"
#include "platform/code_page.h"

namespace qb {

namespace {

QString FromFileText(const CodePage& page, const std::string& s) {
    return QString::fromStdString(page.ToUtf8(s));
}

// One character of the field is one byte of the expression.
std::string ToFileText(const CodePage& page, const QString& s) {
    return page
        .FromUtf16(
            std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())))
        .bytes;
}

QPushButton* NamedButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

// ---- Build Query ------------------------------------------------------------------------

CBuildQueryDialog::CBuildQueryDialog(IndexModel& index, IndexSource& source, const Locale& locale,
                                     Ui& ui, QueryExpression& current, int pivotYear,
                                     std::function<int(QDialog&)> exec, QWidget* parent)
    : QDialog(parent),
      source_(source),
      ui_(ui),
      exec_(std::move(exec)),
      groups_(index.GroupList()) {
    setObjectName("BuildQuery");
    setProperty(kHelpPageProperty, QString(help::kQueries));
    setWindowTitle("Build Query");
    model_ =
        std::make_unique<BuildQueryModel>(source, locale, current, index.SelectedList().Members(),
                                          index.SelectedKeywordMode(), pivotYear);

    keywords_ = new QListWidget(this);
    keywords_->setObjectName("Keywords");
    for (int32_t id : model_->Keywords())
        keywords_->addItem(FromFileText(source_.TextCodePage(), source_.KeywordName(id)));
    keywords_->installEventFilter(this);

    expr_ = new QLineEdit(this);
    expr_->setObjectName("Expression");
    from_ = new QLineEdit(this);
    from_->setObjectName("From");
    to_ = new QLineEdit(this);
    to_->setObjectName("To");
    fromLabel_ = new QLabel("from", this);
    toLabel_ = new QLabel("to", this);
    auto* exprLabel = new QLabel("&Query:", this);
    exprLabel->setBuddy(expr_);

    auto* ops = new QHBoxLayout;
    struct Op {
        const char* text;
        const char* name;
        int32_t code;
    };
    const Op opButtons[] = {{"&AND", "And", query::kAnd},
                            {"O&R", "Or", query::kOr},
                            {"&NOT", "Not", query::kNot},
                            {"(", "Open", query::kOpen},
                            {")", "Close", query::kClose},
                            {"&Bookmarked", "Bookmarked", query::kBookmarked},
                            {"Attach&ments", "Attachments", query::kAttachments},
                            {"No &Keywords", "NoKeywords", query::kNoKeys}};
    for (const Op& op : opButtons) {
        QPushButton* b = NamedButton(op.text, op.name, this);
        int32_t code = op.code;
        connect(b, &QPushButton::clicked, this, [this, code] { InsertOperator(code); });
        ops->addWidget(b);
    }
    QPushButton* group = NamedButton("Keyword &Group...", "Group", this);
    connect(group, &QPushButton::clicked, this, [this] { ChooseGroup(); });
    ops->addWidget(group);

    auto* dates = new QHBoxLayout;
    dates->addWidget(fromLabel_);
    dates->addWidget(from_);
    dates->addWidget(toLabel_);
    dates->addWidget(to_);

    auto* buttons = new QVBoxLayout;
    QPushButton* ok = NamedButton("&OK", "Ok", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { ClickOk(); });
    QPushButton* cancel = NamedButton("Cancel", "Cancel", this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QPushButton* help = NamedButton("&Help", "Help", this);
    help->setEnabled(false);
    QPushButton* clear = NamedButton("&Clear", "Clear", this);
    connect(clear, &QPushButton::clicked, this, [this] {
        TakeSelection();
        model_->Clear();
        Show();
    });
    QPushButton* undo = NamedButton("&Undo", "Undo", this);
    connect(undo, &QPushButton::clicked, this, [this] {
        model_->Undo();
        Show();
    });
    QPushButton* previous = NamedButton("&Previous", "Previous", this);
    connect(previous, &QPushButton::clicked, this, [this] {
        model_->Previous();
        Show();
    });
    QPushButton* save = NamedButton("&Save Query...", "Save", this);
    for (QPushButton* b : {ok, cancel, help, clear, undo, previous, save})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Index", this), 0, 0);
    grid->addWidget(keywords_, 1, 0, 3, 1);
    grid->addLayout(ops, 1, 1);
    grid->addWidget(exprLabel, 2, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(expr_);
    right->addLayout(dates);
    right->addStretch();
    grid->addLayout(right, 3, 1);
    grid->addLayout(buttons, 0, 2, 4, 1);

    // The field keeps what the person typed, with its caret: only the
    // model and the other controls follow.
    connect(expr_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_->Edit(ToFileText(source_.TextCodePage(), text));
        TakeSelection();
        ShowControls();
    });
    connect(from_, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_->fromText = t.toStdString(); });
    connect(to_, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_->toText = t.toStdString(); });
    connect(keywords_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { InsertKeywordRow(keywords_->row(item)); });

    Show();
    expr_->setFocus();
}

CBuildQueryDialog::~CBuildQueryDialog() = default;

QPushButton* CBuildQueryDialog::Button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void CBuildQueryDialog::TakeSelection() {
    if (expr_->hasSelectedText()) {
        size_t start = size_t(expr_->selectionStart());
        model_->SetSelection(start, start + size_t(expr_->selectedText().size()));
    } else {
        size_t at = size_t(expr_->cursorPosition());
        model_->SetSelection(at, at);
    }
}

void CBuildQueryDialog::Show() {
    showing_ = true;
    QString text = FromFileText(source_.TextCodePage(), model_->Expression());
    if (expr_->text() != text) expr_->setText(text);
    int start = int(model_->SelectionStart()), end = int(model_->SelectionEnd());
    if (end > start)
        expr_->setSelection(start, end - start);
    else
        expr_->setCursorPosition(start);
    ShowControls();
    showing_ = false;
}

void CBuildQueryDialog::ShowControls() {
    // A date field is rewritten only when the model holds another text, so
    // that one being typed in keeps its caret.
    for (auto [field, text] :
         {std::pair{from_, &model_->fromText}, std::pair{to_, &model_->toText}})
        if (field->text().toStdString() != *text) field->setText(QString::fromStdString(*text));
    bool dates = model_->DatesEnabled();
    for (QWidget* w : {static_cast<QWidget*>(from_), static_cast<QWidget*>(to_),
                       static_cast<QWidget*>(fromLabel_), static_cast<QWidget*>(toLabel_)})
        w->setEnabled(dates);
    Button("Ok")->setEnabled(model_->OkEnabled());
    Button("Previous")->setEnabled(model_->PreviousEnabled());
    Button("Undo")->setEnabled(model_->UndoEnabled());
    Button("Group")->setEnabled(model_->GroupEnabled());
    Button("Save")->setEnabled(model_->SaveEnabled());
}

bool CBuildQueryDialog::eventFilter(QObject* o, QEvent* e) {
    // Enter in the keyword list inserts the keyword; elsewhere it is OK.
    if (o == keywords_ && e->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            InsertKeywordRow(keywords_->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void CBuildQueryDialog::InsertOperator(int32_t code) {
    TakeSelection();
    model_->InsertOperator(code);
    Show();
    expr_->setFocus();
}

void CBuildQueryDialog::InsertKeywordRow(int row) {
    if (row < 0 || size_t(row) >= model_->Keywords().size()) return;
    TakeSelection();
    model_->InsertKeyword(model_->Keywords()[size_t(row)]);
    Show();
    expr_->setFocus();
}

void CBuildQueryDialog::ChooseGroup() {
    if (!model_->GroupEnabled()) return;
    TakeSelection();
    CSelectGroupDialog dialog(groups_, this);
    if (exec_(dialog) != QDialog::Accepted) return;
    int32_t id = dialog.Chosen();
    if (id == NIL_BLOCK) return;
    model_->InsertGroup(id);
    Show();
    expr_->setFocus();
}

void CBuildQueryDialog::ClickOk() {
    model_->fromText = from_->text().toStdString();
    model_->toText = to_->text().toStdString();
    TakeSelection();
    if (model_->Ok(ui_)) {
        accept();
        return;
    }
    Show();
    QLineEdit* field = model_->FocusField() == QueryField::From ? from_
                       : model_->FocusField() == QueryField::To ? to_
                                                                : expr_;
    field->setFocus();
    if (field != expr_) field->selectAll();
}

// ---- Select a Keyword Group -----------------------------------------------------------------

CSelectGroupDialog::CSelectGroupDialog(NamedIdList& groups, QWidget* parent)
    : QDialog(parent), groups_(groups) {
    setObjectName("SelectKeywordGroup");
    setWindowTitle("Select a Keyword Group");
    list_ = new QListWidget(this);
    // The rows of the window's group list are every group, by name; the
    // dialog lists the members in that order whatever the filter shows.
    for (size_t row = 0; row < groups_.RowCount(); ++row)
        list_->addItem(QString::fromStdString(groups_.TextCodePage().ToUtf8(groups_.NameAt(row))));
    if (list_->count() > 0) list_->setCurrentRow(0);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText("&OK");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(box);
}

int32_t CSelectGroupDialog::Chosen() const {
    int row = list_->currentRow();
    if (row < 0 || size_t(row) >= groups_.RowCount()) return NIL_BLOCK;
    return groups_.Rows()[size_t(row)];
}

// ---- Select Query to Run --------------------------------------------------------------------

CSelectQueryDialog::CSelectQueryDialog(const SavedQueryList& queries, const Locale& locale,
                                       QWidget* parent, CodePage page)
    : QDialog(parent), queries_(queries), locale_(locale), page_(page) {
    setObjectName("SelectQueryToRun");
    setProperty(kHelpPageProperty, QString(help::kQueries));
    setWindowTitle("Select Query to Run");
    list_ = new QListWidget(this);
    std::vector<std::pair<std::u16string, int32_t>> named;
    for (size_t i = 0; i < queries_.Table().size(); ++i) {
        if (queries_.Table()[i].name.empty()) continue;  // an empty slot
        named.emplace_back(page_.ToUtf16(queries_.Table()[i].name), int32_t(i));
    }
    std::stable_sort(named.begin(), named.end(), [&](const auto& a, const auto& b) {
        return locale_.CompareNoCase(a.first, b.first) < 0;
    });
    for (auto& [name, index] : named) {
        auto* item =
            new QListWidgetItem(QString::fromUtf16(reinterpret_cast<const char16_t*>(name.data()),
                                                   qsizetype(name.size())),
                                list_);
        item->setData(Qt::UserRole, index);
    }
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    from_ = new QLineEdit(this);
    from_->setReadOnly(true);
    to_ = new QLineEdit(this);
    to_->setReadOnly(true);
    run_ = new QPushButton("&Run", this);
    run_->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    connect(run_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowQuery(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    auto* existing = new QLabel("E&xisting Queries:", this);
    existing->setBuddy(list_);  // the mnemonic, not an ampersand, is shown
    grid->addWidget(existing, 0, 0);
    grid->addWidget(list_, 1, 0, 4, 1);
    grid->addWidget(text_, 1, 1, 1, 4);
    grid->addWidget(new QLabel("From:", this), 2, 1);
    grid->addWidget(from_, 2, 2);
    grid->addWidget(new QLabel("To:", this), 2, 3);
    grid->addWidget(to_, 2, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(run_);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 1, 1, 4);
    if (list_->count() > 0) list_->setCurrentRow(0);
    ShowQuery();
}

void CSelectQueryDialog::ShowQuery() {
    int32_t index = Chosen();
    const SavedQuery* q = index >= 0 ? queries_.At(index) : nullptr;
    run_->setEnabled(q != nullptr);
    text_->setPlainText(q ? QString::fromStdString(page_.ToUtf8(q->text)) : QString());
    from_->setText(q ? QString::fromStdString(FormatDate(q->dateFrom, false, locale_)) : QString());
    to_->setText(q ? QString::fromStdString(FormatDate(q->dateTo, false, locale_)) : QString());
}

int32_t CSelectQueryDialog::Chosen() const {
    QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

}  // namespace qb
