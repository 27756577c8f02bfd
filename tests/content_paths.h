// SPDX-License-Identifier: GPL-3.0-or-later
// Where the shipped pictures and data files are.
#pragma once

#include <string>

inline std::string ShippedRes() { return std::string(VELCOR_SOURCE_DIR) + "/res"; }
inline std::string ShippedData() { return std::string(VELCOR_SOURCE_DIR) + "/data"; }
