// Article Properties: a sheet with the General and Attachments pages of one
// article. The reader never writes a data file, so every field is
// read-only and every option disabled; the sheet only shows.
#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;
class QTabWidget;

namespace qb {

struct ArticleViewModel;
class CQuillboxDoc;
class Locale;

class CArticleProperties : public QDialog {
    Q_OBJECT
public:
    CArticleProperties(const ArticleViewModel& model, const CQuillboxDoc& doc, const Locale& locale,
                       QWidget* parent = nullptr);

    QTabWidget* Pages() const { return pages_; }
    // The text of the General page's field named `name` ("Title", "Created", ...).
    QString FieldText(const QString& name) const;
    QCheckBox* Option(const QString& name) const;
    QListWidget* AttachmentList() const { return attachments_; }

private:
    QWidget* BuildGeneral(const ArticleViewModel& model, const CQuillboxDoc& doc,
                          const Locale& locale);
    QWidget* BuildAttachments(const ArticleViewModel& model);

    QTabWidget* pages_ = nullptr;
    QListWidget* attachments_ = nullptr;
};

}  // namespace qb
