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

} // namespace dialogs
