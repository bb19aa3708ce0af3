// The Launcher port on the desktop: QDesktopServices for web addresses,
// files and folders (xdg-open's handlers), QProcess::startDetached with an
// argument vector for a named program. Nothing goes through a shell.
#pragma once

#include "platform/launcher.h"

namespace qb {

class QtLauncher : public Launcher {
public:
    LaunchResult OpenUrl(const std::string& url) override;
    LaunchResult OpenPath(const std::string& path) override;
    LaunchResult StartProgram(const std::string& program,
                              const std::vector<std::string>& args) override;
};

}  // namespace qb
