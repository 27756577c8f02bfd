// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/scenario_file.h"

#include <algorithm>
#include <utility>

#include "platform/numbers.h"

using platform::Message;

ScenarioList ParseScenarioFile(platform::TextFileReader& reader, const std::string& name)
{
    ScenarioList list;
    std::string line;
    for (int slot = 0; slot < kRulerSlotCount; ++slot) {
        if (!reader.ReadLine(line) || line.empty())
            break;
        platform::LeadingInt id = platform::ParseLeadingInt(line);
        if (id.overflow || id.value < 1 || id.value >= kRulerCount) {
            list.status = ScenarioStatus::Refused;
            list.rulers.clear();
            list.words = Message(VELCOR_TEXT("Message", "%1 の %2 行目: 君主の番号 %3 は範囲外です (1..15)"),
                                 {Message::Plain(name), Message::Number(slot + 1),
                                  id.overflow ? Message(VELCOR_TEXT("Message", "(大きすぎる数)"))
                                              : Message::Number(id.value)});
            return list;
        }
        list.rulers.push_back(id.value);
    }
    list.status = ScenarioStatus::Read;
    return list;
}

ScenarioList ReadScenarioFile(const std::string& path)
{
    platform::TextFileReader reader;
    if (!reader.Open(path)) {
        ScenarioList list;
        list.status = ScenarioStatus::CannotOpen;
        list.openError = reader.Error();
        switch (reader.Error()) {
        case platform::OpenError::NotFound:
            list.words = Message(VELCOR_TEXT("Message", "%1 が見つかりませんでした。"), {Message::Plain(path)});
            break;
        case platform::OpenError::AccessDenied:
            list.words = Message(VELCOR_TEXT("Message", "%1 にアクセスできません。"), {Message::Plain(path)});
            break;
        default:
            list.words = Message(VELCOR_TEXT("Message", "%1 を開けません。\n%2"),
                                 {Message::Plain(path), Message(reader.ErrorReason().c_str())});
            break;
        }
        return list;
    }
    return ParseScenarioFile(reader, path);
}

bool ScenarioOffersRuler(const std::string& path, RulerId ruler, std::string& message)
{
    const ScenarioList list = ReadScenarioFile(path);
    if (list.status != ScenarioStatus::Read) {
        message = list.words.Text();
        return false;
    }
    std::string refusal = RulerNotOffered(path, list, ruler);
    if (refusal.empty())
        return true;
    message = std::move(refusal);
    return false;
}

std::string RulerNotOffered(const std::string& path, const ScenarioList& list, RulerId ruler)
{
    if (list.rulers.empty())
        return path + " offers no ruler";
    if (std::find(list.rulers.begin(), list.rulers.end(), ruler) != list.rulers.end())
        return {};
    std::string message = path + " does not offer ruler " + std::to_string(ruler) + "; it offers";
    for (RulerId r : list.rulers)
        message += " " + std::to_string(r) + " (" + std::string(kRulerNames[static_cast<std::size_t>(r)]) + ")";
    return message;
}
