// SPDX-License-Identifier: GPL-3.0-or-later
// The rules' texts and the game's names as the windows show them in the language in
// use: a Message's pattern goes through Qt's translation (context "Message") and each
// ruler's and country's name is romanized in English from the program's own table,
// keyed by the Japanese name, so that a name the table does not know shows as it stands.
// The data files and saves keep their names untouched; only what is shown changes.
#pragma once

#include <QString>

#include <string>

#include "model/world.h"
#include "platform/message.h"

namespace shown {

// True while names are shown romanized (the English game).
bool Romanized();
void SetRomanized(bool on);

// The romanized form of a Japanese ruler's or country's name, or an empty string when the
// table does not hold it.
QString Romanization(const QString& japanese);

// A name (UTF-8, as the game holds it) in the language in use.
QString Name(const std::string& utf8);
QString CountryName(const World& world, int country); // empty outside 0..13
QString RulerName(int ruler);     // empty outside the rulers' table

// A Message in the language in use: the translated pattern with its arguments, plain ones
// shown as names.
QString Text(const platform::Message& message);

} // namespace shown
