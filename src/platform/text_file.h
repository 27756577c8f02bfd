// SPDX-License-Identifier: GPL-3.0-or-later
// Line-oriented text files: read like a text-mode file of the original platform (a
// line ends at LF, a CR before it is dropped), written with CR LF line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace platform {

enum class OpenError {
    None,
    NotFound,     // no such file (or a directory on the way is missing)
    NotAFile,     // a directory or a device
    AccessDenied, // no permission to read
    TooLarge,     // larger than any file of the game can be
    Other,
};

class TextFileReader {
public:
    // Files above this size are refused: no game file comes anywhere near it.
    static constexpr std::size_t kMaxSize = 16 * 1024 * 1024;

    // Reads the whole file (as ReadWholeFile); false and an error kind when it cannot
    // be read. Only a plain file is opened: a pipe, a socket or a device is refused
    // without opening it, since opening one may wait for a writer that never comes. A
    // file above maxSize bytes is refused before it is read.
    bool Open(const std::string& path, std::size_t maxSize = kMaxSize);
    OpenError Error() const { return m_error; }
    // Why the last Open failed, in words for the player; empty after a success.
    const std::string& ErrorReason() const { return m_reason; }

    // The next line without its line end; false at the end of the file.
    bool ReadLine(std::string& line);

    // Splits text held in memory the same way as a file's contents.
    void OpenText(std::string text);

private:
    std::string m_text;
    std::size_t m_pos = 0;
    OpenError m_error = OpenError::None;
    std::string m_reason;
};

// The whole of a plain file as it is, with the checks of TextFileReader::Open: only a
// plain file of at most maxSize bytes, nothing opened that could block. False, with the
// kind and the reason in words for the player, when refused.
bool ReadWholeFile(const std::string& path, std::string& bytes, OpenError* error, std::string* reason,
                   std::size_t maxSize = TextFileReader::kMaxSize);

// The text of a file of these lines: each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Writes lines, each followed by CR LF, to path without ever leaving a half-written
// file there: the text goes to a temporary file beside the target, is flushed to disk
// and then renamed over the target. On failure the previous file is untouched and
// error holds the reason in words for the player.
// A symbolic link as path, whether the file it names exists or not, is written
// through: the file it names is created or replaced and the link stays. A replaced
// file keeps its owner and permissions where the process may set them. Temporary
// files of the same target left by a save that was killed are removed.
bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* error);
// The same for a text (or any bytes) written as it is.
bool WriteTextAtomically(const std::string& path, const std::string& text, std::string* error);

// Why a save to path would be refused before anything is written, in words for the
// player; empty when it may go ahead. Refused: an empty name, a loop of links, a folder,
// anything but a plain file (a pipe, a device), a file or a folder whose permission bits
// allow nobody to write, whoever runs the program. Every file the program writes for the
// player is held to this one rule. Links are followed as the save follows them.
std::string WriteRefusal(const std::string& path);

// The name a save to path writes: path with its symbolic links followed, whether the
// file the last one names exists or not. err receives ELOOP for a chain without end.
std::string FollowLinks(std::string path, int& err);

// A reason the functions above give (the words of ErrorReason and of every error
// string) as the Message it was worded from, so that a window can show it in the
// language in use: its pattern, with the figure or the system's words as a plain
// argument. Any other text comes back as a plain text.
Message ReasonWords(const std::string& reason);

// A file written in pieces, as WriteTextAtomically writes it whole: the pieces go to a
// temporary file beside the target, which takes the target's place only at Commit, so
// that a failure at any point leaves the previous file as it was. For a file that grows
// for the length of a game, such as the events of a headless run.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    // Removes the temporary file of a write that was not committed.
    ~AtomicFileWriter();

    // Refuses what WriteRefusal refuses, else creates the temporary file.
    bool Open(const std::string& path, std::string* error);
    bool IsOpen() const { return m_fd >= 0; }
    // Adds bytes; a failure is kept and reported by Commit.
    void Write(std::string_view data);
    // Writes what is held, flushes it to disk and renames the temporary file over the
    // target. False, the temporary file removed, when any step failed.
    bool Commit(std::string* error);

private:
    bool Flush();
    void Discard();

    int m_fd = -1;
    int m_error = 0;
    std::string m_target;
    std::string m_temp;
    std::string m_directory;
    std::string m_buffer;
};

} // namespace platform
