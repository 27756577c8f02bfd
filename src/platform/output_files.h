// SPDX-License-Identifier: GPL-3.0-or-later
// The files a run of the program reads and writes, looked at before it starts: no file
// it writes may be one it reads or one it writes for another option (the files kept
// beside a save count), and none may be a file a save would refuse to replace.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace platform {

struct NamedFile {
    std::string option; // "--save", "--load", or "--data" for a file of the data folder
    std::string path;
    bool written = false;
    // A file kept beside a save, read or written (or removed) with it. Written, it is
    // held to the save's rule, but for a link in its place, which gives way to it (the
    // file it names is not the save's).
    bool beside = false;
    // The option whose file this one may be: the one that writes it in the save's
    // stead (the events as the save's chronicle). Empty: none.
    std::string sharedWith{};
};

// Why the run must not start, for the first fault found; empty when there is none. Two
// names are of the same file when, their links followed, they name the same device and
// inode, or, for files not there yet, the same absolute path: "x", "./x" and a link to
// x are one file.
std::string OutputFilesRefusal(const std::vector<NamedFile>& files);

// Flushes what the program printed to out. False, after one line on err, when it could
// not all be written (a full disk or a closed pipe behind the standard output).
bool FlushPrinted(std::ostream& out, std::ostream& err);

} // namespace platform
