// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/turn_json.h"

#include <string>

namespace web {

void WriteTurn(JsonText& json, const TurnDescription& turn)
{
    json.BeginObject();
    json.Field("sequence", static_cast<long long>(turn.sequence));
    json.Field("stage", std::string(StageName(turn.stage)));
    json.Field("country", turn.country).Field("acting", turn.acting).Field("previous", turn.previous);
    json.Key("persons").BeginArray();
    for (const RulerId person : turn.persons)
        json.Number(static_cast<long long>(person));
    json.EndArray();
    json.Field("commandGiven", turn.commandGiven).Field("replaying", turn.replaying).Field("winner", turn.winner);
    json.Field("status", turn.status);
    json.Key("commands").BeginObject();
    for (const TurnCommand command : kTurnCommands) {
        const CommandState& state = turn.Of(command);
        json.Key(std::string(1, TurnCommandKey(command))).BeginObject();
        json.Field("allowed", state.allowed).Field("offered", state.offered);
        if (!state.why.empty())
            json.Field("why", state.why);
        json.EndObject();
    }
    json.EndObject();
    for (const auto& [key, targets] : {std::pair{"moveTargets", &turn.moveTargets}, std::pair{"warTargets", &turn.warTargets}}) {
        json.Key(key).BeginArray();
        for (const int target : *targets)
            json.Number(static_cast<long long>(target));
        json.EndArray();
    }
    json.EndObject();
}

} // namespace web
