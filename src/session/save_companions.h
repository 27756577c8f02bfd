// SPDX-License-Identifier: GPL-3.0-or-later
// What a saved game keeps beside its own 172 lines: the chronicle, the difficulty and
// the game's record.
// A companion belongs to its save only while it matches the save's bytes; one that
// does not (the save was written over by other means) is set aside.
#pragma once

#include <string>
#include <vector>

#include "model/game_state.h"
#include "platform/message.h"

// Every file kept beside the save at savePath, for whoever moves or removes saves.
std::vector<std::string> SaveCompanions(const std::string& savePath);

std::string DifficultyFileName(const std::string& savePath);

// Keeps world's difficulty beside the save just written at savePath: a file naming it
// and the save it belongs to, written atomically; at normal no file (one left from an
// earlier save there is removed). False, with the reason, when it cannot be written.
bool KeepDifficultyBeside(const std::string& savePath, Difficulty difficulty, std::string* error);

// After a save has been written at savePath: its difficulty kept beside it as above,
// and the chronicle and the record of the game saved there before removed (a folder
// of that name is left alone), so that nothing of that game is taken for this one's.
// The save's writer then writes this game's own. False, with the reason, when the
// difficulty cannot be kept.
bool ReplaceCompanions(const std::string& savePath, Difficulty difficulty, std::string* error);

// The difficulty kept beside the save at savePath; normal when there is none. One that
// cannot be used (it cannot be read, is damaged or belongs to other bytes than the
// save's) is set aside: normal, and setAside, when given, says why for the player.
Difficulty DifficultyBeside(const std::string& savePath, platform::Message* setAside = nullptr);
