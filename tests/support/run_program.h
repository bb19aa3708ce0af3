// Runs a built program for a test: an argument vector (never a shell), an
// optional text on stdin, environment overrides, stdout and stderr captured
// separately, and a deadline after which the child is killed, so that a
// hang fails the test instead of blocking the whole run.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace qb::testing {

struct ProgramResult {
    int status = -1;        // exit status; -1 when the program did not exit normally
    int signal = 0;         // the signal that ended it, if any
    bool timedOut = false;  // killed at the deadline
    bool started = true;    // false when no child could be made (exec failing gives 127)
    std::string out, err;
};

inline std::ostream& operator<<(std::ostream& os, const ProgramResult& r) {
    os << "status " << r.status;
    if (r.signal) os << ", signal " << r.signal;
    if (r.timedOut) os << ", timed out";
    if (!r.started) os << ", not started";
    return os << "\n--- stdout\n" << r.out << "\n--- stderr\n" << r.err;
}

struct RunOptions {
    std::optional<std::string> input;  // stdin; /dev/null when absent
    // NAME -> value; a value of nullopt removes NAME from the environment.
    std::map<std::string, std::optional<std::string>> env;
    std::chrono::milliseconds timeout = std::chrono::seconds(60);

    RunOptions& Input(std::string text) {
        input = std::move(text);
        return *this;
    }
    RunOptions& Env(const std::string& name, std::string value) {
        env[name] = std::move(value);
        return *this;
    }
    RunOptions& Unset(const std::string& name) {
        env[name] = std::nullopt;
        return *this;
    }
};

namespace run_detail {

// stdin as an anonymous file holding the whole input: the child reads it at
// its own pace, and a child that exits without reading cannot make a write
// of ours fail with SIGPIPE.
inline int InputFd(const std::optional<std::string>& input) {
    if (!input) return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int fd = ::memfd_create("stdin", MFD_CLOEXEC);
    if (fd < 0) return -1;
    size_t done = 0;
    while (done < input->size()) {
        ssize_t n = ::write(fd, input->data() + done, input->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        done += size_t(n);
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

inline std::vector<std::string> Environment(
    const std::map<std::string, std::optional<std::string>>& overrides) {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        if (!overrides.count(name)) env.push_back(entry);
    }
    for (const auto& [name, value] : overrides)
        if (value) env.push_back(name + "=" + *value);
    return env;
}

inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

}  // namespace run_detail

// Runs `program` with `args` (argv[0] is the program path).
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const RunOptions& options = {}) {
    ProgramResult r;
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = run_detail::Environment(options.env);
    std::vector<char*> cargv = run_detail::Pointers(argv);
    std::vector<char*> cenv = run_detail::Pointers(envStrings);

    int in = run_detail::InputFd(options.input);
    int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (in < 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        for (int fd : {in, outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            if (fd >= 0) ::close(fd);
        r.started = false;
        return r;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        if (::dup2(in, 0) < 0 || ::dup2(outPipe[1], 1) < 0 || ::dup2(errPipe[1], 2) < 0)
            ::_exit(126);
        ::execve(program.c_str(), cargv.data(), cenv.data());
        ::_exit(127);
    }
    ::close(in);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        r.started = false;
        return r;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + options.timeout;
    auto remainingMs = [&] {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return left.count() > 0 ? int(left.count()) : 0;
    };
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&r.out, &r.err};
    int open = 2;
    while (open > 0) {
        int wait = remainingMs();
        if (wait == 0) {
            r.timedOut = true;
            break;
        }
        int n = ::poll(fds, 2, wait);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[65536];
            ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
            if (got < 0 && errno == EINTR) continue;
            if (got > 0) {
                sinks[i]->append(buf, size_t(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;  // poll ignores negative descriptors
                --open;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) ::close(p.fd);

    // Both pipes closed: the child is exiting; still bounded by the deadline.
    int st = 0;
    for (;;) {
        pid_t w = r.timedOut ? 0 : ::waitpid(pid, &st, WNOHANG);
        if (w == pid) break;
        if (w < 0 && errno != EINTR) return r;
        if (r.timedOut || remainingMs() == 0) {
            r.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &st, 0);
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(st)) {
        r.status = WEXITSTATUS(st);
    } else if (WIFSIGNALED(st)) {
        r.signal = WTERMSIG(st);
    }
    return r;
}

#ifdef QB_BINARY_DIR
// The built qbx, with QBX_PASSWORD removed from its environment unless the
// test sets it, so that the developer's own variable cannot leak in.
inline ProgramResult RunQbx(const std::vector<std::string>& args, RunOptions options = {}) {
    if (!options.env.count("QBX_PASSWORD")) options.Unset("QBX_PASSWORD");
    return RunProgram(QB_BINARY_DIR "/bin/qbx", args, options);
}
#endif

}  // namespace qb::testing
