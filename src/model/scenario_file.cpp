#include "model/scenario_file.h"

#include "platform/numbers.h"

ScenarioList ParseScenarioFile(platform::TextFileReader& reader, const std::string& name)
{
    ScenarioList list;
    std::string line;
    for (int slot = 0; slot < kRulerSlotCount; ++slot) {
        if (!reader.ReadLine(line) || line.empty())
            break;
        platform::LeadingInt id = platform::ParseLeadingInt(line);
        if (id.overflow || id.value < 0 || id.value >= kRulerCount) {
            list.status = ScenarioStatus::Refused;
            list.rulers.clear();
            list.message = name + " の " + std::to_string(slot + 1) + " 行目: 君主の番号 " +
                           (id.overflow ? std::string("(大きすぎる数)") : std::to_string(id.value)) +
                           " は範囲外です (0..15)";
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
            list.message = path + " が見つかりませんでした。";
            break;
        case platform::OpenError::AccessDenied:
            list.message = path + " にアクセスできません。";
            break;
        default:
            list.message = path + " を開けません。";
            break;
        }
        return list;
    }
    return ParseScenarioFile(reader, path);
}
