// SPDX-License-Identifier: GPL-3.0-or-later
// One file for a save and what it keeps beside it (the chronicle, the difficulty, the
// seats, the record), to carry a game between machines and between the page and the
// program whole. The format is docs/save-bundle.md: a text head naming each part once
// with its size and CRC-32, then the parts' bytes as they are.
// A bundle is read whole and checked whole before anything is written; unpacked, it
// gives the save and its companions' files byte for byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace bundle {

// The whole bundle and each part: far above any game's files, low enough to read in
// memory anywhere (the page included).
constexpr std::size_t kMaxBundleSize = 32 * 1024 * 1024;
constexpr std::size_t kMaxPartSize = 16 * 1024 * 1024;

struct Part {
    std::string name; // "save", "chronicle", "difficulty", "seats", "record"
    std::string bytes;
    bool operator==(const Part&) const = default;
};

// Whether bytes begin as a bundle does (of any version): a file to read as a bundle,
// not as a save.
bool LooksLikeBundle(std::string_view bytes);

// Whether the file at path is a plain file (of a bundle's size at most) that begins as
// a bundle does; false for anything that cannot be read (its reader then says why).
bool FileLooksLikeBundle(const std::string& path);

// The bundle of these parts, in their order.
std::string Write(const std::vector<Part>& parts);

// The parts of a bundle, the save first; nullopt, with why in words for the player, when
// it is not one this program can trust: another version, a head it cannot read, a part
// unknown, named twice or too large, no save, bytes cut short or left over, or a part
// whose size or CRC-32 disagrees with its bytes.
std::optional<std::vector<Part>> Read(std::string_view bytes, platform::Message* why);

// The bundle of the save at savePath and each companion kept beside it. False, with the
// reason naming the file, when one cannot be read or the bundle would be too large.
bool BundleSave(const std::string& savePath, std::string& bundle, std::string* error);

// Writes a bundle's parts as the save at savePath and its companions, each atomically;
// a companion the bundle does not hold is removed from beside the save (a folder of its
// name left alone). The bundle is checked whole first: nothing is written for one Read
// refuses (why says why), nor when a part's place is refused for writing.
bool Unpack(std::string_view bytes, const std::string& savePath, platform::Message* why);

} // namespace bundle
