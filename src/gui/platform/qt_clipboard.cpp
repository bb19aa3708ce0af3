#include "gui/platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>
#include <memory>

namespace qb {

ClipboardResult QtClipboard::Place(const std::vector<ClipboardFormat>& formats) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return ClipboardResult::kNoClipboard;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return ClipboardResult::kNoClipboard;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return ClipboardResult::kNoClipboard;

    auto data = std::make_unique<QMimeData>();
    for (const ClipboardFormat& f : formats) {
        if (f.mimeType == kClipboardPlainText) {
            // setText also offers text/plain and the X11 text targets.
            data->setText(QString::fromUtf8(f.data.data(), qsizetype(f.data.size())));
        } else {
            data->setData(QString::fromStdString(f.mimeType),
                          QByteArray(f.data.data(), qsizetype(f.data.size())));
        }
    }
    // The clipboard takes ownership of the data.
    clipboard->setMimeData(data.release(), QClipboard::Clipboard);
    return ClipboardResult::kPlaced;
}

}  // namespace qb
