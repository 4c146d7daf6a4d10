#include "platform/Process.h"

#ifdef _WIN32
#error "RunProcess has a POSIX implementation only; a Windows one (CreateProcessW) is still to come"
#endif

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qm::platform {

namespace {

constexpr int kPollMs = 25;

// Owns a file descriptor; closes it once.
class TFd {
public:
    explicit TFd(int fd = -1) : FFd(fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    [[nodiscard]] int Get() const { return FFd; }
    void Close() {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

class TSpawnActions {
public:
    TSpawnActions() { ::posix_spawn_file_actions_init(&FActions); }
    ~TSpawnActions() { ::posix_spawn_file_actions_destroy(&FActions); }
    TSpawnActions(const TSpawnActions&) = delete;
    TSpawnActions& operator=(const TSpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &FActions; }

private:
    posix_spawn_file_actions_t FActions{};
};

class TSpawnAttr {
public:
    TSpawnAttr() { ::posix_spawnattr_init(&FAttr); }
    ~TSpawnAttr() { ::posix_spawnattr_destroy(&FAttr); }
    TSpawnAttr(const TSpawnAttr&) = delete;
    TSpawnAttr& operator=(const TSpawnAttr&) = delete;
    posix_spawnattr_t* Get() { return &FAttr; }

private:
    posix_spawnattr_t FAttr{};
};

void AppendCapped(std::string& out, const char* data, size_t n) {
    out.append(data, n);
    // Trimmed in large steps so that a chatty program costs no quadratic copying.
    if (out.size() > 2 * kMaxCapturedOutput)
        out.erase(0, out.size() - kMaxCapturedOutput);
}

// Reads what the pipe holds now; false at end of file.
bool DrainAvailable(int fd, std::string& out) {
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            AppendCapped(out, buf, static_cast<size_t>(n));
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return true; // EAGAIN: nothing more for now
    }
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

int WaitBlocking(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

[[noreturn]] void ThrowStartError(const std::string& program, int err) {
    throw EProcessStartError("Cannot start \"" + program + "\". " + std::strerror(err));
}

} // namespace

TProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                          const TCancelCheck& cancelled) {
    if (argv.empty() || argv[0].empty())
        throw EProcessStartError("Cannot start a program without a name.");

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        ThrowStartError(argv[0], errno);
    TFd readEnd(fds[0]);
    TFd writeEnd(fds[1]);

    TSpawnActions actions;
    ::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), STDERR_FILENO);
    if (!workingDir.empty()) {
        // posix_spawn would report a missing folder only as a failed exec;
        // saying which folder is the more useful message.
        struct stat st {};
        if (::stat(workingDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw EProcessStartError("Cannot start \"" + argv[0] + "\": the working folder \"" +
                                     workingDir + "\" does not exist.");
        ::posix_spawn_file_actions_addchdir_np(actions.Get(), workingDir.c_str());
    }

    // A caller that ignores SIGPIPE or blocks signals must not pass that on:
    // the program should behave as it does when started from a terminal.
    TSpawnAttr attr;
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    ::posix_spawnattr_setsigmask(attr.Get(), &none);
    ::posix_spawnattr_setsigdefault(attr.Get(), &defaults);
    ::posix_spawnattr_setflags(attr.Get(),
                               static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc =
        ::posix_spawnp(&pid, argv[0].c_str(), actions.Get(), attr.Get(), args.data(), environ);
    if (rc != 0)
        ThrowStartError(argv[0], rc);
    writeEnd.Close(); // the child holds the only write end now, so its exit ends the pipe
    ::fcntl(readEnd.Get(), F_SETFL, ::fcntl(readEnd.Get(), F_GETFL) | O_NONBLOCK);

    TProcessResult result;
    bool pipeOpen = true;
    for (;;) {
        if (cancelled && cancelled()) {
            ::kill(pid, SIGKILL);
            result.ExitCode = ExitCodeOf(WaitBlocking(pid));
            result.Cancelled = true;
            return result;
        }
        if (pipeOpen) {
            pollfd p{readEnd.Get(), POLLIN, 0};
            if (::poll(&p, 1, kPollMs) > 0)
                pipeOpen = DrainAvailable(readEnd.Get(), result.Output);
        } else {
            ::poll(nullptr, 0, kPollMs / 5);
        }
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            // A grandchild may still hold the pipe open; take what is there
            // without waiting for an end that may never come.
            if (pipeOpen)
                DrainAvailable(readEnd.Get(), result.Output);
            result.ExitCode = ExitCodeOf(status);
            return result;
        }
        if (done < 0 && errno != EINTR) {
            result.ExitCode = -1; // reaped elsewhere (SIGCHLD ignored): status unknown
            return result;
        }
    }
}

std::string FindExecutableOnPath(const std::string& name) {
    if (name.empty())
        return "";
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    const std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        const size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (dir.empty())
            dir.assign(1, '.'); // an empty PATH entry means the current folder
        // Appended piecewise: GCC 12 at -O2 reports a false overlap for dir + "/" + name.
        std::string candidate;
        candidate.reserve(dir.size() + 1 + name.size());
        candidate.append(dir).append(1, '/').append(name);
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            return "";
        start = end + 1;
    }
}

} // namespace qm::platform
