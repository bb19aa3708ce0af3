// Sub-commands of qbx register themselves here, one file each.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qbx {

using Args = std::vector<std::string>;

struct Command {
    std::string name;
    std::string summary;                  // one line for "qbx --help"
    std::function<int(const Args&)> run;  // arguments after the command name; returns exit status
};

std::vector<Command>& Commands();

struct Registrar {
    Registrar(std::string name, std::string summary, std::function<int(const Args&)> run) {
        Commands().push_back({std::move(name), std::move(summary), std::move(run)});
    }
};

}  // namespace qbx
