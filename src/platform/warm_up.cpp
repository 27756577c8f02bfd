// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/warm_up.h"

#include <fontconfig/fontconfig.h>

#include <future>

namespace platform {

namespace {

std::future<void>& Fonts()
{
    static std::future<void> fonts;
    return fonts;
}

} // namespace

void StartWarmUp()
{
    if (!Fonts().valid())
        Fonts() = std::async(std::launch::async, [] { FcInit(); });
}

void FinishWarmUp()
{
    if (Fonts().valid())
        Fonts().get();
}

} // namespace platform
