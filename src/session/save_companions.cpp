// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/save_companions.h"

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string_view>

#include "platform/text_file.h"
#include "rules/difficulty.h"
#include "rules/event_json.h"
#include "session/game_record.h"

namespace {

constexpr const char* kSetAside = VELCOR_TEXT("Message", "難易度の記録を無視しました: %1");
constexpr const char* kSeatsSetAside = VELCOR_TEXT("Message", "席の記録を無視しました: %1");
constexpr const char* kNotThisSave = VELCOR_TEXT("Message", "別のｾｰﾌﾞのものか、壊れています");
// A difficulty or seats file is two short lines; a file near this size is no such file
// (and its refusal tells the limit in whole MB).
constexpr std::size_t kMaxBesideFile = 1024 * 1024;

// FNV-1a over the save's bytes: enough to tell this save from another.
std::uint64_t Fingerprint(const std::string& bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

bool ReadSave(const std::string& savePath, std::string& bytes, std::string* reason = nullptr)
{
    return platform::ReadWholeFile(savePath, bytes, nullptr, reason);
}

// What an earlier game kept at path goes: a link itself, not the file it names; a
// folder of that name is left alone.
void RemoveBeside(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored)))
        std::filesystem::remove(path, ignored);
}

// A file of two lines beside the save at savePath: word, then the save's size and
// fingerprint; written atomically in its own place: a link there gives way first (the
// file it names may be another save's; what it held was the save's before this one).
// The reason names the file that failed.
bool KeepBeside(const std::string& savePath, const std::string& path, std::string_view word, std::string* error)
{
    std::string save;
    std::string reason;
    const std::string* failed = &savePath;
    bool kept = ReadSave(savePath, save, &reason);
    if (kept) {
        std::ostringstream text;
        text << word << '\n' << save.size() << ' ' << Fingerprint(save) << '\n';
        failed = &path;
        std::error_code ignored;
        if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored)))
            RemoveBeside(path);
        kept = platform::WriteTextAtomically(path, text.str(), &reason);
    }
    if (!kept && error)
        *error = *failed + ": " + reason;
    return kept;
}

enum class Beside { None, Read, SetAside };

// The word of such a file, when it belongs to the save at savePath; why not otherwise.
Beside ReadBeside(const std::string& savePath, const std::string& path, std::string& word, platform::Message& why)
{
    std::string kept;
    std::string save;
    platform::OpenError openError = platform::OpenError::None;
    std::string reason;
    if (!platform::ReadWholeFile(path, kept, &openError, &reason, kMaxBesideFile)) {
        if (openError == platform::OpenError::NotFound)
            return Beside::None;
        why = platform::Message(reason.c_str());
        return Beside::SetAside;
    }
    std::istringstream lines(kept);
    std::size_t size = 0;
    std::uint64_t fingerprint = 0;
    if (!ReadSave(savePath, save) || !(lines >> word >> size >> fingerprint) || size != save.size() ||
        fingerprint != Fingerprint(save)) {
        why = platform::Message(kNotThisSave);
        return Beside::SetAside;
    }
    return Beside::Read;
}

} // namespace

std::string DifficultyFileName(const std::string& savePath) { return savePath + ".difficulty"; }

std::vector<std::string> SaveCompanions(const std::string& savePath)
{
    return {ChronicleFileName(savePath), DifficultyFileName(savePath), SeatsFileName(savePath), RecordFileName(savePath)};
}

bool KeepDifficultyBeside(const std::string& savePath, Difficulty difficulty, std::string* error)
{
    const std::string path = DifficultyFileName(savePath);
    if (difficulty == Difficulty::Normal) {
        RemoveBeside(path);
        return true;
    }
    return KeepBeside(savePath, path, DifficultyName(difficulty), error);
}

std::string SeatsFileName(const std::string& savePath) { return savePath + ".seats"; }

bool KeepSeatsBeside(const std::string& savePath, const GameState& world, std::string* error)
{
    const std::string path = SeatsFileName(savePath);
    if (SeatsAreOnePlayers(world)) {
        RemoveBeside(path);
        return true;
    }
    return KeepBeside(savePath, path, SeatsWord(world.seats), error);
}

bool ReplaceCompanions(const std::string& savePath, const GameState& world, std::string* error)
{
    for (const std::string& path : {ChronicleFileName(savePath), RecordFileName(savePath)})
        RemoveBeside(path);
    return KeepDifficultyBeside(savePath, world.difficulty, error) && KeepSeatsBeside(savePath, world, error);
}

Difficulty DifficultyBeside(const std::string& savePath, platform::Message* setAside)
{
    std::string name;
    platform::Message why;
    Difficulty difficulty = Difficulty::Normal;
    switch (ReadBeside(savePath, DifficultyFileName(savePath), name, why)) {
    case Beside::None:
        return Difficulty::Normal;
    case Beside::Read:
        if (ParseDifficulty(name, difficulty))
            return difficulty;
        why = platform::Message(kNotThisSave);
        break;
    case Beside::SetAside:
        break;
    }
    if (setAside)
        *setAside = platform::Message(kSetAside, {std::move(why)});
    return Difficulty::Normal;
}

void SeatsBeside(const std::string& savePath, GameState& world, platform::Message* setAside)
{
    std::string word;
    platform::Message why;
    switch (ReadBeside(savePath, SeatsFileName(savePath), word, why)) {
    case Beside::None:
        return;
    case Beside::Read:
        if (const std::optional<Seats> seats = ParseSeatsWord(word)) {
            // The save names the first player, unless nobody plays.
            const auto plays = [&](RulerId r) { return (*seats)[static_cast<std::size_t>(r)].Plays(); };
            bool anyone = false;
            for (RulerId r = 1; r < kRulerCount; ++r)
                anyone = anyone || plays(r);
            if (!anyone || (GameState::IsRulerId(world.playerRuler) && world.playerRuler > 0 && plays(world.playerRuler))) {
                world.seats = *seats;
                return;
            }
        }
        why = platform::Message(kNotThisSave);
        break;
    case Beside::SetAside:
        break;
    }
    if (setAside)
        *setAside = platform::Message(kSeatsSetAside, {std::move(why)});
}
