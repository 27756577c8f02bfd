// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/quit_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {
int g_pipe[2] = {-1, -1};
QSocketNotifier* g_notifier = nullptr;
std::function<void()> g_action;

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
}

void CatchSignals(bool caught)
{
    struct sigaction sa {};
    sa.sa_handler = caught ? OnSignal : SIG_DFL;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}
} // namespace

void QuitOnSignals(std::function<void()> action)
{
    if (!g_notifier) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
            return;
        g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
        QObject::connect(g_notifier, &QSocketNotifier::activated, g_notifier, [] {
            char buffer[16];
            while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
            }
            // Once: a second signal finds the default action and ends the program.
            g_notifier->setEnabled(false);
            CatchSignals(false);
            if (g_action)
                g_action();
        });
    }
    g_action = std::move(action);
    g_notifier->setEnabled(true);
    CatchSignals(true);
}

} // namespace platform
