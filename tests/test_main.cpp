// SPDX-License-Identifier: GPL-3.0-or-later
// Test main for the suites without windows: each test process has folders of its own.
#include <gtest/gtest.h>

#include "private_home.h"

int main(int argc, char** argv)
{
    const PrivateHome home;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
