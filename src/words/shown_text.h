// SPDX-License-Identifier: GPL-3.0-or-later
// The rules' texts and the game's names as the windows show them in the language in
// use: a Message's pattern goes through Qt's translation (context "Message") and each
// ruler's and country's name, known by its id, is romanized in English from the
// program's own table (a country a scenario author has renamed shows as he named it).
// The data files and saves keep their names untouched; only what is shown changes.
#pragma once

#include <QString>

#include <string>

#include "model/game_state.h"
#include "platform/message.h"

namespace shown {

// True while names are shown romanized (the English game).
bool Romanized();
void SetRomanized(bool on);

QString CountryName(const GameState& world, int country); // empty outside 0..13
QString RulerName(int ruler);     // empty outside the rulers' table

// A Message in the language in use: the translated pattern with its arguments; names by
// their ids, other plain texts as they stand.
// A plain text or a pattern without arguments that is one of the platform's reasons for
// a file (platform::ReasonWords) is shown in the language in use as well.
QString Text(const platform::Message& message);

// A reason the platform gave for a file it could not read or write, in the language in
// use.
QString Reason(const std::string& reason);

} // namespace shown
