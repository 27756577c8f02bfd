// SPDX-License-Identifier: GPL-3.0-or-later
// Line-oriented text files: read like a text-mode file of the original platform (a
// line ends at LF, a CR before it is dropped), written with CR LF line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
    // without opening it, since opening one may wait for a writer that never comes.
    bool Open(const std::string& path);
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
// plain file of at most TextFileReader::kMaxSize bytes, nothing opened that could
// block. False, with the kind and the reason in words for the player, when refused.
bool ReadWholeFile(const std::string& path, std::string& bytes, OpenError* error, std::string* reason);

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
// The same for a text written as it is.
bool WriteTextAtomically(const std::string& path, const std::string& text, std::string* error);

} // namespace platform
