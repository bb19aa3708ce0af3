#include "gui/platform/qt_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace qb {

LaunchResult QtLauncher::OpenUrl(const std::string& url) {
    QUrl u(QString::fromStdString(url), QUrl::TolerantMode);
    if (!u.isValid() || u.scheme().isEmpty()) {
        // "www.host" has no scheme; the original's shell took it as http.
        u = QUrl(QStringLiteral("http://") + QString::fromStdString(url), QUrl::TolerantMode);
        if (!u.isValid()) return LaunchResult::Failed;
    }
    // openUrl is false when no handler is set up for the scheme.
    return QDesktopServices::openUrl(u) ? LaunchResult::Ok : LaunchResult::NoProgram;
}

LaunchResult QtLauncher::OpenPath(const std::string& path) {
    QString p = QString::fromStdString(path);
    QFileInfo info(p);
    if (!info.exists()) return LaunchResult::NotFound;
    if (!info.isReadable()) return LaunchResult::AccessDenied;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))
               ? LaunchResult::Ok
               : LaunchResult::NoProgram;
}

LaunchResult QtLauncher::StartProgram(const std::string& program,
                                      const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    QString prog = QString::fromStdString(program);
    if (QProcess::startDetached(prog, list)) return LaunchResult::Ok;
    QFileInfo info(prog);
    if (prog.contains('/') && !info.exists()) return LaunchResult::NotFound;
    if (info.exists() && !info.isExecutable()) return LaunchResult::AccessDenied;
    return LaunchResult::Failed;
}

}  // namespace qb
