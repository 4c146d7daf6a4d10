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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/prctl.h>
#endif

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
    void Reset(int fd) {
        Close();
        FFd = fd;
    }
    void Close() {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

// Both ends of a close-on-exec pipe, numbered above the standard streams: a
// caller started with one of them closed would otherwise get that number,
// and the child's redirections would overwrite the pipe before using it.
struct TPipe {
    TFd Read;
    TFd Write;
};

int AboveStdio(int fd) {
    if (fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int err = errno;
    ::close(fd);
    errno = err;
    return moved;
}

[[noreturn]] void ThrowStartError(const std::string& program, int err) {
    throw EProcessStartError("Cannot start \"" + program + "\". " + std::strerror(err));
}

void OpenPipe(TPipe& pipe, const std::string& program) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        ThrowStartError(program, errno);
    pipe.Read.Reset(AboveStdio(fds[0]));
    pipe.Write.Reset(AboveStdio(fds[1]));
    if (pipe.Read.Get() < 0 || pipe.Write.Get() < 0)
        ThrowStartError(program, errno);
}

// Everything the child needs, prepared before the fork: between fork and
// exec only async-signal-safe calls may run, since another thread of the
// parent may have held the allocator's lock at the moment of the fork.
struct TChildPlan {
    const char* Program = nullptr; // a path: searched on PATH beforehand
    char* const* Argv = nullptr;
    const char* WorkingDir = nullptr; // nullptr: the parent's
    int Output = -1;                  // the pipe's write end
    int Report = -1;                  // where errno goes when the exec fails
    pid_t Parent = 0;
};

[[noreturn]] void ChildFails(const TChildPlan& plan) {
    const int err = errno;
    (void)!::write(plan.Report, &err, sizeof err);
    ::_exit(127);
}

[[noreturn]] void RunChild(const TChildPlan& plan) {
#ifdef __linux__
    // Dies with us, even when we are killed outright and cannot stop it.
    // The signal follows the thread that forked, which waits in RunProcess
    // until the child has ended, so it never fires early.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        ChildFails(plan);
    if (::getppid() != plan.Parent)
        ::_exit(127); // the parent died before the request took effect
#endif
    // A group of its own: a terminal's Ctrl+C reaches us alone, and a
    // cancel stops the program together with whatever it started.
    if (::setpgid(0, 0) != 0)
        ChildFails(plan);
    // A caller that ignores SIGPIPE or blocks signals must not pass that on:
    // the program should behave as it does when started from a terminal.
    for (const int sig : {SIGPIPE, SIGINT, SIGTERM})
        ::signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull < 0 || ::dup2(devNull, STDIN_FILENO) < 0)
        ChildFails(plan);
    if (devNull != STDIN_FILENO)
        ::close(devNull);
    if (::dup2(plan.Output, STDOUT_FILENO) < 0 || ::dup2(plan.Output, STDERR_FILENO) < 0)
        ChildFails(plan);
    if (plan.WorkingDir != nullptr && ::chdir(plan.WorkingDir) != 0)
        ChildFails(plan);
    ::execve(plan.Program, plan.Argv, environ);
    ChildFails(plan);
}

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

// The errno the child reported before exec, or 0 once exec closed the pipe.
int ReadStartError(int fd) {
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(fd, &err, sizeof err);
        if (n < 0 && errno == EINTR)
            continue;
        return n == static_cast<ssize_t>(sizeof err) ? err : 0;
    }
}

// What exec is handed: a bare name is found on PATH here, as the child may
// not search it; a path with a separator is left to be taken from the
// working folder.
std::string ProgramToRun(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return name;
    std::string found = FindExecutableOnPath(name);
    if (found.empty())
        ThrowStartError(name, ENOENT);
    return found;
}

} // namespace

TProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                          const TCancelCheck& cancelled) {
    if (argv.empty() || argv[0].empty())
        throw EProcessStartError("Cannot start a program without a name.");
    if (!workingDir.empty()) {
        // A missing folder would show only as a failed chdir; saying which
        // folder is the more useful message.
        struct stat st {};
        if (::stat(workingDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw EProcessStartError("Cannot start \"" + argv[0] + "\": the working folder \"" +
                                     workingDir + "\" does not exist.");
    }
    const std::string program = ProgramToRun(argv[0]);

    TPipe output;
    OpenPipe(output, argv[0]);
    TPipe report;
    OpenPipe(report, argv[0]);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    TChildPlan plan;
    plan.Program = program.c_str();
    plan.Argv = args.data();
    plan.WorkingDir = workingDir.empty() ? nullptr : workingDir.c_str();
    plan.Output = output.Write.Get();
    plan.Report = report.Write.Get();
    plan.Parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0)
        ThrowStartError(argv[0], errno);
    if (pid == 0)
        RunChild(plan);
    // Set on both sides, so that the group exists before either side relies
    // on it; the child's exec may already have made this call fail.
    (void)::setpgid(pid, pid);
    output.Write.Close(); // the child holds the only write end now, so its exit ends the pipe
    report.Write.Close();
    if (const int err = ReadStartError(report.Read.Get()); err != 0) {
        (void)WaitBlocking(pid);
        ThrowStartError(argv[0], err);
    }
    ::fcntl(output.Read.Get(), F_SETFL, ::fcntl(output.Read.Get(), F_GETFL) | O_NONBLOCK);

    TProcessResult result;
    bool pipeOpen = true;
    for (;;) {
        if (cancelled && cancelled()) {
            // The whole group: a browser's helper processes go with it.
            ::kill(-pid, SIGKILL);
            result.ExitCode = ExitCodeOf(WaitBlocking(pid));
            result.Cancelled = true;
            return result;
        }
        if (pipeOpen) {
            pollfd p{output.Read.Get(), POLLIN, 0};
            if (::poll(&p, 1, kPollMs) > 0)
                pipeOpen = DrainAvailable(output.Read.Get(), result.Output);
        } else {
            ::poll(nullptr, 0, kPollMs / 5);
        }
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            // A grandchild may still hold the pipe open; take what is there
            // without waiting for an end that may never come.
            if (pipeOpen)
                DrainAvailable(output.Read.Get(), result.Output);
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
