// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/scenario_folder.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "model/scenario_file.h"
#include "platform/utf8.h"

namespace fs = std::filesystem;
using platform::Message;

namespace {

// Folder entries looked at, at most, before the names are sorted: a folder of many
// thousands of other files is not read to its end.
constexpr int kMaxFolderEntries = 4096;

bool ForbiddenInName(char32_t c)
{
    return c < 0x20 || c == 0x7F || std::u32string_view(U"/\\:*?\"<>|").find(c) != std::u32string_view::npos;
}

} // namespace

std::string ScenarioEntry::ScenarioPath() const { return ScenarioFilePath(directory, fileNumber); }
std::string ScenarioEntry::CountryPath() const { return CountryFilePath(directory, fileNumber); }

void ReadEntry(ScenarioEntry& entry)
{
    ScenarioPairRead read = ReadScenarioPair(entry.ScenarioPath(), entry.CountryPath());
    entry.reason = read.read ? UnplayableReason(read.pair) : read.words;
    entry.playable = read.read && entry.reason.empty();
    entry.pair = read.read ? std::move(read.pair) : ScenarioPair{};
}

std::vector<ScenarioEntry> ListScenarios(const std::string& bundledDir, const std::string& ownDir)
{
    std::vector<ScenarioEntry> entries;
    for (int n = 1; n <= kBundledScenarioCount; ++n) {
        ScenarioEntry entry;
        entry.number = n;
        entry.directory = bundledDir;
        entry.fileNumber = n;
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> names;
    std::error_code error;
    if (!ownDir.empty() && fs::exists(ownDir, error)) {
        fs::directory_iterator it(ownDir, error);
        for (int looked = 0; !error && it != fs::directory_iterator() && looked < kMaxFolderEntries;
             it.increment(error), ++looked) {
            std::string name = it->path().filename().string();
            std::error_code kind;
            if (!name.empty() && name.front() != '.' && it->is_directory(kind))
                names.push_back(std::move(name));
        }
    }
    if (error) {
        ScenarioEntry entry;
        entry.own = true;
        entry.name = ownDir;
        entry.directory = ownDir;
        entry.reason = Message(VELCOR_TEXT("Message", "%1 を開けません。\n%2"),
                               {Message::Plain(ownDir), Message::Plain(error.message())});
        entries.push_back(std::move(entry));
    }
    std::sort(names.begin(), names.end());
    if (names.size() > static_cast<std::size_t>(kMaxOwnScenarios))
        names.resize(static_cast<std::size_t>(kMaxOwnScenarios));
    for (std::string& name : names) {
        ScenarioEntry entry;
        entry.own = true;
        entry.directory = OwnScenarioDirectory(ownDir, name);
        entry.name = std::move(name);
        entry.fileNumber = 1;
        entries.push_back(std::move(entry));
    }
    for (ScenarioEntry& entry : entries)
        if (entry.fileNumber > 0)
            ReadEntry(entry);
    return entries;
}

Message ScenarioNameRefusal(const std::string& name)
{
    bool refused = name.empty() || name.size() > kMaxScenarioNameBytes || name.front() == '.' || name.front() == ' ';
    for (std::size_t i = 0; !refused && i < name.size();) {
        char32_t c = 0;
        refused = !platform::DecodeUtf8(name, i, c) || ForbiddenInName(c);
    }
    if (!refused)
        return {};
    return Message(VELCOR_TEXT("Message", "「%1」はｼﾅﾘｵの名前に使えません"),
                   {Message::Plain(name)});
}

std::string OwnScenarioDirectory(const std::string& ownDir, const std::string& name) { return ownDir + "/" + name; }

bool WriteOwnScenario(const std::string& ownDir, const std::string& name, const ScenarioPair& pair,
                      std::string* error)
{
    if (const Message refusal = ScenarioNameRefusal(name); !refusal.empty()) {
        if (error)
            *error = refusal.Text();
        return false;
    }
    const std::string directory = OwnScenarioDirectory(ownDir, name);
    std::error_code made;
    fs::create_directories(directory, made);
    if (made) {
        if (error)
            *error = directory + ": " + made.message();
        return false;
    }
    return WriteScenarioPair(directory, 1, pair, error);
}
