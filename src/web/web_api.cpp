// SPDX-License-Identifier: GPL-3.0-or-later
// The calls the page's engine worker makes into the module: plain C functions, each
// answering with a JSON text that stays valid until the next call.
#include <cstdint>
#include <memory>
#include <string>

#include "web/web_game.h"

namespace {

std::unique_ptr<web::WebGame> g_game;
std::string g_answer;

web::WebGame& Game()
{
    if (!g_game)
        g_game = std::make_unique<web::WebGame>("/data");
    return *g_game;
}

const char* Answer(std::string text)
{
    g_answer = std::move(text);
    return g_answer.c_str();
}

std::string Bytes(const std::uint8_t* bytes, int size)
{
    return size > 0 && bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size))
                             : std::string();
}

} // namespace

extern "C" {

const char* velcor_scenarios() { return Answer(Game().Scenarios()); }
const char* velcor_new_game(int scenario, int ruler, int difficulty)
{
    return Answer(Game().NewGame(scenario, ruler, difficulty));
}
const char* velcor_load(const std::uint8_t* save, int saveSize, const char* name, int difficulty,
                        const std::uint8_t* record, int recordSize, const std::uint8_t* chronicle, int chronicleSize)
{
    return Answer(Game().Load(Bytes(save, saveSize), name ? name : "", difficulty, Bytes(record, recordSize),
                              Bytes(chronicle, chronicleSize)));
}
const char* velcor_load_bundle(const std::uint8_t* bundle, int size, const char* name)
{
    return Answer(Game().LoadBundle(Bytes(bundle, size), name ? name : ""));
}
const char* velcor_bundle() { return Answer(Game().Bundle()); }
const char* velcor_replay(const std::uint8_t* record, int size) { return Answer(Game().Replay(Bytes(record, size))); }
// key: the command's key as the turn's description names it (M, W, L, C, S, T, R);
// ruler: the seat it comes from (the description's acting; 0: the page's own).
const char* velcor_command(const char* key, int a, int b, int c, int d, int ruler)
{
    return Answer(Game().Command(key ? key : "", a, b, c, d, ruler));
}
const char* velcor_choose(const char* key) { return Answer(Game().Choose(key ? key : "")); }
const char* velcor_check_move(int destination) { return Answer(Game().CheckMove(destination)); }
const char* velcor_put_end_away() { return Answer(Game().PutEndAway()); }
const char* velcor_odds() { return Answer(Game().Odds()); }
const char* velcor_save() { return Answer(Game().Save()); }
const char* velcor_view() { return Answer(Game().View()); }
const char* velcor_summary() { return Answer(Game().Summary()); }
const char* velcor_displays() { return Answer(Game().Displays()); }
// The snapshot's bytes as a JSON text of bytes, for the advisor's worker.
const char* velcor_snapshot()
{
    web::JsonText json;
    json.BeginObject().Key("snapshot").Bytes(Game().Snapshot()).EndObject();
    return Answer(json.Take());
}
const char* velcor_advise(const std::uint8_t* snapshot, int size, int rollouts, int horizon)
{
    return Answer(web::Advise(Bytes(snapshot, size), rollouts, horizon));
}

// Seats and the game's flow. seats: the seats' words of rulers 1..15, space-separated.
const char* velcor_new_seated(int scenario, const char* seats, int first, int difficulty)
{
    return Answer(Game().NewSeatedGame(scenario, seats ? seats : "", first, difficulty));
}
const char* velcor_change_seat(int ruler, const char* seat) { return Answer(Game().ChangeSeat(ruler, seat ? seat : "")); }
const char* velcor_step() { return Answer(Game().Step()); }
const char* velcor_go_back() { return Answer(Game().GoBack()); }
const char* velcor_resume_from(int year, int month, int country)
{
    return Answer(Game().ResumeFrom(year, month, country));
}
const char* velcor_play_record(const std::uint8_t* record, int size)
{
    return Answer(Game().PlayRecord(Bytes(record, size)));
}
const char* velcor_pause(int paused) { return Answer(Game().Pause(paused != 0)); }
const char* velcor_one_key_turn(int on) { return Answer(Game().SetOneKeyTurn(on != 0)); }
const char* velcor_rest_remaining() { return Answer(Game().RestRemaining()); }
const char* velcor_own_scenario(const std::uint8_t* scenario, int scenarioSize, const std::uint8_t* country,
                                int countrySize, const char* name)
{
    return Answer(Game().OwnScenario(Bytes(scenario, scenarioSize), Bytes(country, countrySize), name ? name : ""));
}
const char* velcor_random_scenario(double seed)
{
    return Answer(Game().RandomScenario(static_cast<std::uint32_t>(seed)));
}

// A networked game joined: the invitation's text, each frame's text from the host, and
// his ready in the lobby, the connection's end; every answer carries the frames to send (joined.send).
const char* velcor_join_begin(const char* invitation) { return Answer(Game().JoinBegin(invitation ? invitation : "")); }
const char* velcor_join_frame(const char* frame) { return Answer(Game().JoinFrame(frame ? frame : "")); }
const char* velcor_join_ready(int ready) { return Answer(Game().JoinReady(ready != 0)); }
const char* velcor_join_closed(const char* why) { return Answer(Game().JoinClosed(why ? why : "")); }

} // extern "C"
