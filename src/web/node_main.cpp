// SPDX-License-Identifier: GPL-3.0-or-later
// The headless game under node: velcor --headless ... with the same options and the
// same output as the desktop program's, reading and writing the real files.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/headless.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args.front() != "--headless") {
        std::cerr << "usage: velcor --headless [options] (see velcor --headless --help)\n";
        return kHeadlessBadInput;
    }
    args.erase(args.begin());
    return HeadlessMain(args, std::cout, std::cerr);
}
