// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/child_processes.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    for (int job = 0; job < jobs; ++job) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            failure = Reason("cannot make a pipe");
            break;
        }
        const pid_t pid = ::fork();
        if (pid < 0) {
            failure = Reason("cannot start a process");
            ::close(fds[0]);
            ::close(fds[1]);
            break;
        }
        if (pid == 0) {
            ::close(fds[0]);
            for (const Child& earlier : children)
                ::close(earlier.fd);
            RunChild(job, fds[1], work);
        }
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
