// SPDX-License-Identifier: GPL-3.0-or-later
// Leaks on purpose. Run under LeakSanitizer with the tests' suppressions it must fail:
// the suppressions hide leaks inside libraries we do not own, never one of ours.
#include <cstdio>
#include <new>

namespace {
void* volatile g_kept = nullptr;

void DropABlock()
{
    g_kept = ::operator new(288);
    g_kept = nullptr;
}
}  // namespace

int main()
{
    DropABlock();
    std::puts("a block of 288 bytes dropped");
    return 0;
}
