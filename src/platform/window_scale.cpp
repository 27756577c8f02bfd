#include "platform/window_scale.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
// Read by windows the turn worker has opened through the interface thread; relaxed is
// enough, it only ever changes between windows.
std::atomic<int> g_scale{1};
} // namespace

int WindowScale() { return g_scale.load(std::memory_order_relaxed); }

void SetWindowScale(int scale) { g_scale.store(std::clamp(scale, 1, kMaxWindowScale), std::memory_order_relaxed); }

} // namespace platform
