// SPDX-License-Identifier: GPL-3.0-or-later
// A game played again from its record: each start sets the world up as it began, the
// clock gives back the recorded readings, and the player's commands are applied at his
// turns, so the game goes exactly where it went. The headless replay, the window's
// going back a turn and its replay are built on these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/message.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_session.h"

// A host that shows nothing: the computer's turns and the player's battles are played
// at once, as the headless game plays them.
class QuietHost : public TurnHost {
public:
    QuietHost() = default;
    explicit QuietHost(GameState& world) : m_world(&world) {}
    void SetWorld(GameState& world) { m_world = &world; }
    void TurnBegin(int country) override { m_world->turnCountry = country; }
    void PlayerTurn(int country) override { m_world->turnCountry = country; }
    void ShowMessage(const platform::Message&, int) override {}
    bool Present(BattleScript& script) override
    {
        script.Start();
        script.Finish();
        return !StopRequested();
    }

private:
    GameState* m_world = nullptr;
};

// A game of its own played off screen with a QuietHost: a replay's, while the game
// being shown stays as it is.
class QuietGame {
public:
    QuietGame() { m_host.SetWorld(m_session.world); }
    GameSession& Session() { return m_session; }

private:
    QuietHost m_host; // made first and let go last: the session's worker calls it
    GameSession m_session{m_host};
};

// Sets the session's world up as a start of a record says (its world, the player, the
// difficulty and the generators), its clock fed from the readings from the start's
// on, and begins the game (its start reported). The computer's first turns are the
// caller's. False, with the reason, when the start's world is no country file.
bool BeginRecordedStart(GameSession& session, const RecordStart& start,
                        std::shared_ptr<const std::vector<std::int64_t>> readings, platform::Message* why);

// How far a replay has come.
struct ReplayPoint {
    std::size_t steps = 0;       // steps of the record carried out
    std::size_t readings = 0;    // readings of the record taken
    std::size_t playerTurns = 0; // turns of the player reached, this one included
    std::int64_t months = 0;     // months the calendar turned (as the headless game counts them)
};

// Where a synchronous replay stops: at the player's first turn after so many months, at
// his turn of this number (0 the first), or at the first of his turns the world there
// is wanted at; before his commands. Else at the end.
struct ReplayStop {
    std::optional<std::int64_t> months;
    std::optional<std::size_t> playerTurn;
    std::function<bool(const GameState&)> wanted;
};

struct ReplayOutcome {
    bool played = false;   // false: the record could not be played (words say why)
    bool stopped = false;  // stopped where asked, before the record's end
    platform::Message words;
    ReplayPoint at;
};

// Plays the record on the session, all on the calling thread (the host presents the
// battles; QuietHost fights them at once).
ReplayOutcome ReplayRecord(GameSession& session, const RecordedGame& record, const ReplayStop& stop);

// The record up to a point of its replay: the later steps and readings dropped.
RecordedGame RecordUpTo(const RecordedGame& record, const ReplayPoint& point);
