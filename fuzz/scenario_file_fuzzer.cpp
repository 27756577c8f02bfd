// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the scenario file reader. The ruler dialog indexes its
// thirteen places, the ruler names and the portraits with what the reader yields, so
// a file is either read into at most thirteen ids of real rulers (never 0, no ruler)
// or refused with a message that names the file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "model/game_state.h"
#include "model/scenario_file.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::TextFileReader reader;
    reader.OpenText(std::string(reinterpret_cast<const char*>(data), size));
    const std::string name = "scenario1.txt";
    const ScenarioList list = ParseScenarioFile(reader, name);
    switch (list.status) {
    case ScenarioStatus::Read:
        FUZZ_REQUIRE(list.rulers.size() <= static_cast<std::size_t>(kRulerSlotCount));
        // 0 is no ruler: a player who chose it would never come to his turn.
        for (RulerId id : list.rulers)
            FUZZ_REQUIRE(id >= 1 && id < kRulerCount);
        break;
    case ScenarioStatus::Refused:
        FUZZ_REQUIRE(list.rulers.empty());
        FUZZ_REQUIRE(list.words.Text().rfind(name + " の ", 0) == 0);
        break;
    case ScenarioStatus::CannotOpen:
        FUZZ_REQUIRE(!"text in memory always opens");
        break;
    }
    return 0;
}
