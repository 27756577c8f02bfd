// SPDX-License-Identifier: GPL-3.0-or-later
// A row of the keyboard help window: keys and what they do. The view's command table
// makes the rows (CommandTable::AllKeys); the window lists them.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

struct KeyHelp {
    enum Window { Main, Battle, NewGame }; // where the keys act

    QString keys;   // as the window shows them
    QString action;
    Window window = Main;
    QList<QKeySequence> sequences; // the keys the row stands for, when Qt names them
};
