// The user guide's window: one top-level QTextBrowser over the guide's
// folder, with Contents, Back and Forward. Windows name their own page in
// the dynamic property kHelpPageProperty; F1 opens the page of the window
// that has the focus (HelpPageFor).
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace qb {

// The property a window sets to the file name of its guide page
// (help::kIndexWindow, ...).
inline constexpr const char* kHelpPageProperty = "qbHelpPage";

// The page of `w`: the first of it and its parents that names one; the
// contents page when none does (or `w` is null).
QString HelpPageFor(const QWidget* w);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // `folder` holds the pages; `pictureFolders` are searched after it for
    // images (the pictures a build takes live beside, not in, the sources).
    HelpWindow(const QString& folder, const QStringList& pictureFolders, QWidget* parent);

    // Shows `page` (a file name of the folder), raises and activates the window.
    void ShowPage(const QString& page);
    // The file name of the page shown ("" before the first).
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    QString folder_;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace qb
