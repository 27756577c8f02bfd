#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "rules/headless.h"

int main(int argc, char** argv)
{
    // The headless mode runs the rules alone and never starts the windows.
    if (argc >= 2 && std::string_view(argv[1]) == "--headless")
        return HeadlessMain(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);

    std::puts("Velcor 0.56");
    return 0;
}
