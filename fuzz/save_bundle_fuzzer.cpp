// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the reader of save bundles. It must refuse with a reason or
// accept; what it accepts has one spelling, so writing the parts back gives the very
// bytes read, and the parts are within the limits, each named once, the save among
// them.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "session/save_bundle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    platform::Message why;
    const auto parts = bundle::Read(input, &why);
    if (!parts) {
        FUZZ_REQUIRE(!why.empty());
        return 0;
    }
    std::set<std::string> names;
    for (const bundle::Part& part : *parts) {
        FUZZ_REQUIRE(part.bytes.size() <= bundle::kMaxPartSize);
        FUZZ_REQUIRE(names.insert(part.name).second);
    }
    FUZZ_REQUIRE(names.count("save") == 1);
    FUZZ_REQUIRE(bundle::Write(*parts) == input);
    return 0;
}
