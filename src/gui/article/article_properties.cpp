#include "gui/article/article_properties.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "article/article_view_model.h"
#include "datafile/dates.h"
#include "document/quillbox_doc.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

namespace {

QString Utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Moment(int32_t date, int32_t time, const Locale& locale) {
    std::string d = FormatDate(date, false, locale);
    std::string t = FormatTime(time, false, locale);
    if (d.empty()) return t;
    return t.empty() ? d : d + " " + t;
}

QLineEdit* ReadOnlyField(const QString& name, const QString& text, QWidget* parent) {
    auto* f = new QLineEdit(text, parent);
    f->setObjectName(name);
    f->setReadOnly(true);
    f->setCursorPosition(0);
    return f;
}

QCheckBox* DisabledOption(const QString& name, const QString& text, bool checked, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    c->setEnabled(false);
    return c;
}

}  // namespace

CArticleProperties::CArticleProperties(const ArticleViewModel& model, const CQuillboxDoc& doc,
                                       const Locale& locale, QWidget* parent)
    : QDialog(parent) {
    setObjectName("ArticleProperties");
    setWindowTitle(QString::fromUtf8(ResourceString(msg::kArticlePropertiesCaption)));
    pages_ = new QTabWidget(this);
    pages_->addTab(BuildGeneral(model, doc, locale), "General");
    pages_->addTab(BuildAttachments(model), "Attachments");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
}

QWidget* CArticleProperties::BuildGeneral(const ArticleViewModel& model, const CQuillboxDoc& doc,
                                          const Locale& locale) {
    auto* page = new QWidget(this);
    page->setObjectName("General");
    auto* form = new QFormLayout(page);
    form->addRow("Title:", ReadOnlyField("Title", Utf8(model.caption), page));
    form->addRow("Date:", ReadOnlyField("Date", Utf8(model.dateText), page));
    form->addRow("Time:", ReadOnlyField("Time", Utf8(model.timeText), page));
    form->addRow(
        "Created:",
        ReadOnlyField("Created", Utf8(Moment(model.createdDate, model.createdTime, locale)), page));
    form->addRow("Modified:",
                 ReadOnlyField("Modified",
                               Utf8(Moment(model.modifiedDate, model.modifiedTime, locale)), page));
    std::string length =
        FormatResource(msg::kCharacterCount, std::to_string(model.content.Text().size()));
    form->addRow("Length:", ReadOnlyField("Length", Utf8(length), page));
    form->addRow("Hypertext links:",
                 ReadOnlyField("Links", QString::number(model.links.size()), page));
    form->addRow("Attachments:",
                 ReadOnlyField("AttachmentCount", QString::number(model.attachments.size()), page));
    form->addRow(DisabledOption("WordWrap", "&Word Wrap", model.WordWrap(), page));
    // The title is never changed by the reader, so it never follows the content.
    form->addRow(DisabledOption("KeepTitle", "&Keep Title the Same as the First Line of Content",
                                false, page));
    form->addRow(DisabledOption("MakePrivate", "Make &Private",
                                doc.PrivateArticles().Contains(model.id), page));
    return page;
}

QWidget* CArticleProperties::BuildAttachments(const ArticleViewModel& model) {
    auto* page = new QWidget(this);
    page->setObjectName("Attachments");
    auto* layout = new QVBoxLayout(page);
    attachments_ = new QListWidget(page);
    attachments_->setObjectName("AttachmentList");
    for (const AttachmentView& a : model.attachments) {
        auto* item = new QListWidgetItem(Utf8(a.TargetText()), attachments_);
        // Shown checked or not; the person cannot change it.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(a.enabled ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(attachments_);
    auto* open = new QPushButton("&Open Attachment", page);
    open->setObjectName("OpenAttachment");
    open->setEnabled(false);
    layout->addWidget(open);
    layout->addWidget(DisabledOption("AutoOpen",
                                     "&Always automatically open checked attachments with article",
                                     model.AutoOpenMode() == 2, page));
    layout->addWidget(
        DisabledOption("FullPaths", "&Save full pathnames for new file or folder targets",
                       (model.display.flags & display_flags::kFullPathNames) != 0, page));
    return page;
}

QString CArticleProperties::FieldText(const QString& name) const {
    auto* f = findChild<QLineEdit*>(name);
    return f ? f->text() : QString();
}

QCheckBox* CArticleProperties::Option(const QString& name) const {
    return findChild<QCheckBox*>(name);
}

}  // namespace qb
