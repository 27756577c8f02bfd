// SPDX-License-Identifier: GPL-3.0-or-later
// What a saved game keeps beside its own 172 lines: the chronicle, the difficulty, who
// plays each ruler (the seats) and the game's record.
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
// and the save it belongs to, written atomically in its own place (a link there gives
// way to it, the file the link names left as it was); at normal no file (one left from
// an earlier save there is removed, a folder left alone). False, with the reason
// naming the file, when it cannot be written.
bool KeepDifficultyBeside(const std::string& savePath, Difficulty difficulty, std::string* error);

std::string SeatsFileName(const std::string& savePath);

// Keeps world's seats beside the save just written at savePath (its player ruler the
// save's), as the difficulty is kept: a file with the seats' word (SeatsWord) and the
// save it belongs to; no file for the game of one player with no computer at a level
// of its own (SeatsAreOnePlayers). False, with the reason naming the file, when it
// cannot be written.
bool KeepSeatsBeside(const std::string& savePath, const GameState& world, std::string* error);

// After a save of world has been written at savePath: its difficulty and its seats kept
// beside it as above, and the chronicle and the record of the game saved there before
// removed (a link itself, not the file it names; a folder of that name is left alone),
// so that nothing of that game is taken for this one's. The save's writer then writes
// this game's own, in their own place as the difficulty is written. False, with the
// reason, when the difficulty or the seats cannot be kept.
bool ReplaceCompanions(const std::string& savePath, const GameState& world, std::string* error);

// The difficulty kept beside the save at savePath; normal when there is none. One that
// cannot be used (it cannot be read, is damaged or belongs to other bytes than the
// save's) is set aside: normal, and setAside, when given, says why for the player.
Difficulty DifficultyBeside(const std::string& savePath, platform::Message* setAside = nullptr);

// The seats kept beside the save at savePath, put on world, the save loaded (its player
// ruler the save's): unchanged (the save's one player) when there are none. Seats that
// cannot be used (they cannot be read, are damaged, belong to other bytes than the
// save's, or do not seat the save's player ruler while anyone plays) are set aside:
// unchanged, and setAside, when given, says why for the player.
void SeatsBeside(const std::string& savePath, GameState& world, platform::Message* setAside = nullptr);
