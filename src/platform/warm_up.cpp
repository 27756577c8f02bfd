// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/warm_up.h"

#include <fontconfig/fontconfig.h>

#include <future>

namespace platform {

void StartWarmUp()
{
    static std::future<void> fonts = std::async(std::launch::async, [] { FcInit(); });
}

} // namespace platform
