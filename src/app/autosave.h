// SPDX-License-Identifier: GPL-3.0-or-later
// The game kept at the start of every player turn: the last kKept turns, each in a
// file of its own in the player's data folder, numbered in the order they were
// written ("autosave12.txt"), so that a failed write never costs an older one. The
// chronicle of each is kept beside it and goes with it.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "model/country_file.h"
#include "model/game_state.h"

class AutosaveStore {
public:
    static constexpr int kKept = 5;
    // The numbers in use: a name numbered beyond them is not an autosave. When the
    // next number would pass the last, the kept ones are numbered again from 1.
    static constexpr qint64 kLastNumber = 999'999'999;

    // An empty folder keeps no autosaves: none is written and none is listed.
    explicit AutosaveStore(QString folder);
    // "autosave" in the program's data folder (QStandardPaths::AppDataLocation); empty
    // after KeepNone.
    static QString DefaultFolder();
    // This run keeps no autosaves (a run that only makes a picture).
    static void KeepNone();
    const QString& Folder() const { return m_folder; }

    struct Entry {
        QString path;
        qint64 number = 0;
        QDateTime written;
        std::int32_t year = 0;
        std::int32_t month = 0;
        RulerId ruler = 0; // whose turn it keeps
    };
    // Newest first. A file that does not read as a saved game is left out.
    std::vector<Entry> Entries() const;

    // Writes the newest autosave through write (the game's own save, given the path),
    // then removes the oldest beyond kKept. False with the reason when the folder or
    // the file could not be written; every earlier autosave then stays as it was.
    using Writer = std::function<bool(const QString& path, QString* error)>;
    bool Save(const Writer& write, QString* error);

    // Whether path is one of this folder's files.
    bool Holds(const QString& path) const;
    // Whose turn an autosave keeps (the ruler of the country after its cursor); 0 when
    // the file does not read or the cursor names no country.
    static RulerId TurnRulerOf(const QString& path);
    static RulerId TurnRulerOf(const WorldRecord& world);

private:
    // The numbers of the autosaves in the folder, ascending.
    std::vector<qint64> Numbers() const;
    QString PathOf(qint64 number) const;
    // Removes an autosave and the chronicle beside it.
    void Remove(qint64 number) const;
    // The autosaves numbered 1, 2, ... in their order, their chronicles with them.
    void Renumber(std::vector<qint64>& numbers) const;

    QString m_folder;
};

// The game an autosave holds: its date and the ruler whose turn it keeps ("190 年 3 月 曹操").
QString AutosaveGameName(const AutosaveStore::Entry& entry);
// How the resume menu names an autosave: the game's date, the ruler whose turn it is and when
// it was written ("190 年 3 月 曹操 (2024/05/01 21:40)").
QString AutosaveLabel(const AutosaveStore::Entry& entry);
