#include "gui/app/help_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help_guide.h"

namespace qb {

QString HelpPageFor(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        QVariant page = p->property(kHelpPageProperty);
        if (page.isValid() && !page.toString().isEmpty()) return page.toString();
    }
    return help::kContents;
}

HelpWindow::HelpWindow(const QString& folder, const QStringList& pictureFolders, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
    setObjectName("HelpWindow");
    setWindowTitle("Quillbox Reader Help");
    setProperty(kHelpPageProperty, QString(help::kContents));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setSearchPaths(QStringList{folder} + pictureFolders);
    // The guide's pages only; anything else (a web address) goes nowhere.
    browser_->setOpenExternalLinks(false);

    auto* bar = new QToolBar(this);
    QAction* contents = bar->addAction("&Contents");
    QAction* back = bar->addAction("&Back");
    QAction* forward = bar->addAction("&Forward");
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this, [this] { ShowPage(help::kContents); });
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QString("Quillbox Reader Help")
                                       : title + " - Quillbox Reader Help");
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    resize(720, 600);
}

void HelpWindow::ShowPage(const QString& page) {
    browser_->setSource(QUrl::fromLocalFile(QDir(folder_).filePath(page)));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::CurrentPage() const {
    QUrl source = browser_->source();
    return source.isEmpty() ? QString() : QFileInfo(source.path()).fileName();
}

}  // namespace qb
