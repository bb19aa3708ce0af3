// A Launcher for tests: records every call and answers from a scripted
// result (Ok unless told otherwise).
#pragma once

#include <string>
#include <vector>

#include "platform/launcher.h"

namespace qb {

class RecordingLauncher : public Launcher {
public:
    struct Call {
        enum Kind { Url, Path, Program } kind;
        std::string target;
        std::vector<std::string> args;
    };

    LaunchResult OpenUrl(const std::string& url) override {
        calls.push_back({Call::Url, url, {}});
        return result;
    }
    LaunchResult OpenPath(const std::string& path) override {
        calls.push_back({Call::Path, path, {}});
        return result;
    }
    LaunchResult StartProgram(const std::string& program,
                              const std::vector<std::string>& args) override {
        calls.push_back({Call::Program, program, args});
        return result;
    }

    LaunchResult result = LaunchResult::Ok;
    std::vector<Call> calls;
};

}  // namespace qb
