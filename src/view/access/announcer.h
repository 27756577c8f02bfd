// SPDX-License-Identifier: GPL-3.0-or-later
// The game told to a screen reader: one line at a time, what a player who cannot see
// the map needs to hear as the game goes on (the status line at his turn, the results
// of his commands, the hand-over, the outcome of each battle a person fights, the end
// of the game), and the country under the map's keyboard cursor followed as the
// accessible focus. The lines are the name of an accessible status bar of the map's:
// each new line is sent as a change of that name (how it reaches a screen reader on
// this Qt: docs/accessibility.md). During the computers' turns only the outcomes of the
// battles a person fights are told; the rest of their moves is in the chronicle.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class BattleScript;
class GameController;
class QWidget;

class Announcer : public QObject {
    Q_OBJECT

public:
    // The map's children on its accessible list: the countries 0..13, the panel's
    // figures, the status bar the lines are told through.
    static constexpr int kPanelChild = 14;
    static constexpr int kStatusBarChild = 15;
    static constexpr int kChildren = 16;

    // map: the map view, whose accessible list holds the status bar; cursor: the country
    // its keys are on, -1 for none (the target chosen while a target is chosen, else the
    // country the panel shows).
    Announcer(QWidget& map, GameController& game, std::function<int()> cursor);

    // Tells text (the line becomes the status bar's name); an empty text tells nothing.
    void Say(const QString& text);
    // Tells the last line again (Say tells no line twice in a row).
    void Repeat();
    const QString& Last() const { return m_last; }

    // The outcome of a battle a person has fought, its figures at the end; its rounds
    // (what the battle window showed at each step) are kept for TellRounds.
    void BattleFought(const BattleScript& script, const QStringList& rounds);
    // Tells the rounds of the last battle told.
    void TellRounds();

    int Cursor() const { return m_cursor(); }
    // Sends the focus to the cursor's country when it has changed (after each paint).
    void FollowCursor();
    // Sends it now (the keys have just come to the map).
    void FocusCursor();

signals:
    // A line told (tests and the repeat read it).
    void said(const QString& text);

private:
    // The turn's line, told when the turn has come to a person, passes to another or
    // the game has ended.
    void OnDescribed();
    void OnStatus(const QString& text);
    // True while the computers move (their lines are not told).
    bool Quiet() const;
    void SendFocus(int country);
    void Tell(const QString& text);

    QWidget& m_view;
    GameController& m_game;
    std::function<int()> m_cursor;
    QString m_last;
    QString m_rounds; // the last battle's rounds
    QString m_lastStatus; // the status line told last, so that it is not told twice
    int m_stage = -1;     // the description's stage last seen
    int m_country = -1;   // and its country
    int m_focused = -1;   // the country the accessible focus was sent to
};
