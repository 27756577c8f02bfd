// SPDX-License-Identifier: GPL-3.0-or-later
// Folders of a test process's own in place of the user's: HOME and the XDG folders
// point into a scratch tree for as long as it lives, so that test runs of the same
// user at the same time never read or write each other's settings and files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "test_support.h"

class PrivateHome {
public:
    PrivateHome()
    {
        const std::pair<const char*, const char*> folders[] = {
            {"HOME", "home"},          {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"},
            {"XDG_CACHE_HOME", "cache"}, {"XDG_STATE_HOME", "state"},  {"XDG_RUNTIME_DIR", "runtime"},
        };
        for (const auto& [variable, name] : folders) {
            const std::string path = m_tree.Path(name);
            // Private to the user, as the runtime folder must be.
            ::mkdir(path.c_str(), 0700);
            ::setenv(variable, path.c_str(), 1);
        }
    }

private:
    TempDir m_tree;
};
