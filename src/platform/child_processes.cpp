// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/child_processes.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace platform {

namespace {

struct Child {
    pid_t pid = -1;
    int fd = -1;         // the read end of its pipe; -1 once at its end
    std::string pending; // the start of a line still without its end
};

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// The children of the running RunInChildProcesses, for the signal handler below: pids
// holds count of them (the handler reads no further than count).
std::atomic<pid_t>* g_pids = nullptr;
std::atomic<int> g_count{0};

// SIGINT or SIGTERM to this process ends its children first, then this process as the
// signal would have without the handler (its default action, on return from here).
void EndChildrenAndDie(int signal)
{
    const int count = g_count.load();
    for (int i = 0; i < count; ++i)
        ::kill(g_pids[i].load(), SIGKILL);
    ::raise(signal);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM};

// While the children run, the signals that end this process end them too; every
// change undone when it goes out of scope.
class ChildrenEndWithParent {
public:
    explicit ChildrenEndWithParent(int jobs) : m_pids(new std::atomic<pid_t>[static_cast<std::size_t>(jobs)])
    {
        g_count = 0;
        g_pids = m_pids.get();
        struct sigaction sa {};
        sa.sa_handler = EndChildrenAndDie;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESETHAND;
        // A signal this process ignores (a program started in the background ignores
        // SIGINT) stays ignored.
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], nullptr, &m_previous[i]);
            if (m_previous[i].sa_handler != SIG_IGN)
                ::sigaction(kEndingSignals[i], &sa, nullptr);
        }
        sigemptyset(&m_blocked);
        for (int signal : kEndingSignals)
            sigaddset(&m_blocked, signal);
    }
    ~ChildrenEndWithParent()
    {
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            ::sigaction(kEndingSignals[i], &m_previous[i], nullptr);
        g_count = 0;
        g_pids = nullptr;
    }
    ChildrenEndWithParent(const ChildrenEndWithParent&) = delete;
    ChildrenEndWithParent& operator=(const ChildrenEndWithParent&) = delete;

    // Around a fork: the signals wait until the new child is known to the handler (in
    // this process) or has the actions of before back (in the child).
    void HoldSignals() { ::pthread_sigmask(SIG_BLOCK, &m_blocked, &m_held); }
    void Started(pid_t pid)
    {
        m_pids[static_cast<std::size_t>(g_count.load())] = pid;
        ++g_count;
        ::pthread_sigmask(SIG_SETMASK, &m_held, nullptr);
    }
    void InChild(pid_t parent)
    {
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            ::sigaction(kEndingSignals[i], &m_previous[i], nullptr);
#ifdef __linux__
        // A child ends when this process does, however it ends, even by SIGKILL; and
        // at once when this process ended before the child could ask for that.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            std::_Exit(1);
#else
        (void)parent;
#endif
        ::pthread_sigmask(SIG_SETMASK, &m_held, nullptr);
    }
    void FailedToStart() { ::pthread_sigmask(SIG_SETMASK, &m_held, nullptr); }

private:
    std::unique_ptr<std::atomic<pid_t>[]> m_pids;
    struct sigaction m_previous[std::size(kEndingSignals)] {};
    sigset_t m_blocked{};
    sigset_t m_held{};
};

// In the child: runs the work and ends the process without returning, so that nothing
// of the parent's (its buffers, its exit handlers) runs a second time.
[[noreturn]] void RunChild(int job, int fd, const std::function<void(int, const LineSender&)>& work)
{
    bool sent = true;
    const LineSender send = [&](const std::string& line) { sent = sent && WriteAll(fd, line + '\n'); };
    work(job, send);
    sent = ::close(fd) == 0 && sent;
    std::_Exit(sent ? 0 : 1);
}

// Reads what has arrived from a child and hands on its whole lines; false at its end.
bool ReadFrom(Child& child, const std::function<void(const std::string&)>& receive)
{
    char buffer[65536];
    const ssize_t n = ::read(child.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    if (n <= 0)
        return false;
    child.pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t start = 0;
    for (std::size_t end; (end = child.pending.find('\n', start)) != std::string::npos; start = end + 1)
        receive(child.pending.substr(start, end - start));
    child.pending.erase(0, start);
    return true;
}

std::string EndText(int job, int status)
{
    const std::string who = "the process of job " + std::to_string(job);
    if (WIFSIGNALED(status))
        return who + " was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    return who + " ended with status " + std::to_string(WEXITSTATUS(status));
}

} // namespace

bool RunInChildProcesses(int jobs, const std::function<void(int job, const LineSender& send)>& work,
                         const std::function<void(const std::string& line)>& receive, std::string* error)
{
    std::vector<Child> children;
    std::string failure;
    ChildrenEndWithParent ending(jobs);
    const pid_t parent = ::getpid();
    for (int job = 0; job < jobs; ++job) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            failure = Reason("cannot make a pipe");
            break;
        }
        ending.HoldSignals();
        const pid_t pid = ::fork();
        if (pid < 0) {
            failure = Reason("cannot start a process");
            ending.FailedToStart();
            ::close(fds[0]);
            ::close(fds[1]);
            break;
        }
        if (pid == 0) {
            ending.InChild(parent);
            ::close(fds[0]);
            for (const Child& earlier : children)
                ::close(earlier.fd);
            RunChild(job, fds[1], work);
        }
        ending.Started(pid);
        ::close(fds[1]);
        children.push_back({pid, fds[0], {}});
    }
    // Without all of its processes the work is incomplete: end those already started.
    if (!failure.empty()) {
        for (const Child& child : children)
            ::kill(child.pid, SIGKILL);
    }

    for (;;) {
        std::vector<pollfd> polled;
        std::vector<Child*> owners;
        for (Child& child : children) {
            if (child.fd >= 0) {
                polled.push_back({child.fd, POLLIN, 0});
                owners.push_back(&child);
            }
        }
        if (polled.empty())
            break;
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            failure = Reason("cannot wait for the processes");
            for (Child* child : owners) {
                ::kill(child->pid, SIGKILL);
                ::close(child->fd);
                child->fd = -1;
            }
            break;
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].revents != 0 && !ReadFrom(*owners[i], receive)) {
                ::close(owners[i]->fd);
                owners[i]->fd = -1;
            }
        }
    }

    for (std::size_t job = 0; job < children.size(); ++job) {
        int status = 0;
        pid_t ended;
        while ((ended = ::waitpid(children[job].pid, &status, 0)) < 0 && errno == EINTR) {
        }
        if (ended < 0) {
            if (failure.empty())
                failure = Reason("cannot wait for a process");
            continue;
        }
        const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!clean && failure.empty())
            failure = EndText(static_cast<int>(job), status);
    }
    if (!failure.empty() && error)
        *error = failure;
    return failure.empty();
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

} // namespace platform
