// SPDX-License-Identifier: GPL-3.0-or-later
// A radio group whose buttons are drawn as push buttons: the checked one stays down,
// on a darker face inside a dark frame.
#pragma once

#include <QButtonGroup>
#include <QPushButton>

namespace dialogs {

// A push button that behaves as a member of a radio group (no tab stop).
QPushButton* MakeRadioPushButton(QWidget* parent, QButtonGroup* group, int place, const QString& text);

// The place of the checked button, -1 when none is checked.
int CheckedPlace(const QButtonGroup* group);
// Checks the button at place and clears the others; -1 clears all.
void CheckPlace(QButtonGroup* group, int place);

// Lets the choice be made from the keys wherever the dialog's focus rests (on its OK
// button too, so that Enter then confirms): Up or Left checks the choice before the
// checked one, Down or Right the one after (round from the ends; from no choice the
// first or the last), a digit 1..9 the choice of that number. Hidden and disabled
// choices are passed over. Call once the dialog's controls are all made.
void AddChoiceKeys(QWidget* dialog, QButtonGroup* group);

} // namespace dialogs
