// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/save_companions.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "platform/text_file.h"
#include "rules/difficulty.h"
#include "rules/event_json.h"
#include "session/game_record.h"

namespace {

constexpr const char* kSetAside = VELCOR_TEXT("Message", "難易度の記録を無視しました: %1");
constexpr const char* kNotThisSave = VELCOR_TEXT("Message", "別のｾｰﾌﾞのものか、壊れています");
// A difficulty file is two short lines.
constexpr std::size_t kMaxDifficultyFile = 4096;

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

bool ReadSave(const std::string& savePath, std::string& bytes)
{
    return platform::ReadWholeFile(savePath, bytes, nullptr, nullptr);
}

} // namespace

std::string DifficultyFileName(const std::string& savePath) { return savePath + ".difficulty"; }

std::vector<std::string> SaveCompanions(const std::string& savePath)
{
    return {ChronicleFileName(savePath), DifficultyFileName(savePath), RecordFileName(savePath)};
}

bool KeepDifficultyBeside(const std::string& savePath, Difficulty difficulty, std::string* error)
{
    const std::string path = DifficultyFileName(savePath);
    if (difficulty == Difficulty::Normal) {
        std::remove(path.c_str());
        return true;
    }
    std::string save;
    if (!ReadSave(savePath, save)) {
        if (error)
            *error = savePath;
        return false;
    }
    std::ostringstream text;
    text << DifficultyName(difficulty) << '\n' << save.size() << ' ' << Fingerprint(save) << '\n';
    return platform::WriteTextAtomically(path, text.str(), error);
}

bool ReplaceCompanions(const std::string& savePath, Difficulty difficulty, std::string* error)
{
    for (const std::string& path : {ChronicleFileName(savePath), RecordFileName(savePath)}) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored)))
            std::filesystem::remove(path, ignored);
    }
    return KeepDifficultyBeside(savePath, difficulty, error);
}

Difficulty DifficultyBeside(const std::string& savePath, platform::Message* setAside)
{
    auto aside = [setAside](platform::Message why) {
        if (setAside)
            *setAside = platform::Message(kSetAside, {std::move(why)});
        return Difficulty::Normal;
    };
    std::string kept;
    std::string save;
    platform::OpenError openError = platform::OpenError::None;
    std::string reason;
    if (!platform::ReadWholeFile(DifficultyFileName(savePath), kept, &openError, &reason, kMaxDifficultyFile))
        return openError == platform::OpenError::NotFound ? Difficulty::Normal
                                                          : aside(platform::Message(reason.c_str()));
    if (!ReadSave(savePath, save))
        return aside(platform::Message(kNotThisSave));
    std::istringstream lines(kept);
    std::string name;
    std::size_t size = 0;
    std::uint64_t fingerprint = 0;
    Difficulty difficulty = Difficulty::Normal;
    if (!(lines >> name >> size >> fingerprint) || !ParseDifficulty(name, difficulty) || size != save.size() ||
        fingerprint != Fingerprint(save))
        return aside(platform::Message(kNotThisSave));
    return difficulty;
}
