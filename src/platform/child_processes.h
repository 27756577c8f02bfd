// SPDX-License-Identifier: GPL-3.0-or-later
// Work spread over child processes, each a copy of this one, that report back in lines
// of text; and whether a standard stream is a terminal.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Sends one line (without its line end) from a child to the parent.
using LineSender = std::function<void(const std::string& line)>;

// Starts jobs child processes as copies of this one (fork) and runs work(job, send)
// in child job = 0..jobs-1, which ends when work returns. Each line a child sends
// reaches receive(line) in this process, whole and in the order that child sent them;
// the lines of different children interleave as they arrive. Returns when every child
// has ended: true when all ended with status 0, else false with the reason in error.
// A child shares nothing with this process after it starts, so call this only while
// no other thread runs (a copy of a process keeps only the calling thread), and with
// buffered output flushed.
bool RunInChildProcesses(int jobs, const std::function<void(int job, const LineSender& send)>& work,
                         const std::function<void(const std::string& line)>& receive, std::string* error);

// Whether standard error is a terminal (and not a file or a pipe).
bool StandardErrorIsTerminal();

} // namespace platform
