// SPDX-License-Identifier: GPL-3.0-or-later
// The network's frames and invitations as text: what is written reads back as the same
// text, and anything a stranger may send that is not exactly a frame is refused.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "net/invitation.h"
#include "net/protocol.h"
#include "net/sha256.h"

namespace {

// "=": the text is a frame and writes back as itself; "": refused; else the text it
// writes back as.
struct FrameCase {
    const char* text;
    const char* written;
};

TEST(NetFrames, FramesReadBackAndAnythingElseIsRefused)
{
    const std::string big(net::kFrameLimit, ' ');
    const std::string oversized = R"({"t":"ping","n":1})" + big;
    const std::string deep = std::string(7, '[') + std::string(7, ']');
    const FrameCase cases[] = {
        // Every frame, every step of a record.
        {R"({"t":"hello","version":3,"data":"0a1b","seat":15,"key":"00112233445566778899aabbccddeeff","readings":3,"steps":9})", "="},
        {R"({"t":"welcome","seat":1,"last":41})", "="},
        {R"({"t":"limit","seconds":86400})", "="},
        {R"({"t":"refused","reason":"data","version":1,"data":"ff"})", "="},
        {R"({"t":"refused","reason":"replaced","version":7,"data":""})", "="},
        {R"({"t":"record","fresh":true,"firstReading":0,"readings":[-9223372036854775808,0,1700000000],"firstStep":0,)"
         R"("steps":[{"start":{"loaded":false,"ruler":2,"difficulty":3,"random":4294967295,"commandRandom":0,"reading":0,"world":"QUJD"}},)"
         R"({"start":{"loaded":true,"ruler":15,"difficulty":0,"random":1,"commandRandom":2,"reading":3,"world":"QQ==","seats":"pa-0123p-------"}},)"
         R"({"key":"L","country":0},{"key":"C","country":13},{"key":"S","country":1},{"key":"T","country":2},)"
         R"({"key":"M","country":3,"target":4,"soldiers":0,"provisions":2147483647,"funds":5},{"key":"W","country":5,"target":6},{"key":"R"},)"
         R"({"seat":{"ruler":3,"kind":"-"}},{"seat":{"ruler":15,"kind":"r"}},{"seat":{"ruler":1,"kind":"3"}}]})", "="},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":1,"steps":[{"seat":{"ruler":3,"kind":"x"}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":1,"steps":[{"seat":{"ruler":16,"kind":"p"}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":12,"readings":[],"firstStep":7,"steps":[{"start":{"loaded":false,"ruler":1,"difficulty":1,"random":1,"commandRandom":1,"reading":2,"world":"QUI="}}]})", "="},
        {R"({"t":"command","seat":3,"seq":9223372036854775807,"command":{"key":"W","country":0,"target":1}})", "="},
        {R"({"t":"denied","seq":2,"reason":"replayed"})", "="},
        {R"({"t":"crc","steps":120,"crc":4294967295})", "="},
        {R"({"t":"ping","n":0})", "="},
        {R"({"t":"pong","n":5})", "="},
        {R"({"t":"lobby","seats":[{"seat":1,"joined":true,"ready":true},{"seat":15,"joined":false,"ready":false}]})", "="},
        {R"({"t":"lobby","seats":[]})", "="},
        {R"({"t":"ready","ready":false})", "="},
        // Another order and spaces read the same; another version's hello is read for its
        // version alone (the host refuses it by name).
        {" { \"n\" : 5 ,\"t\":\"pong\" }\r\n", R"({"t":"pong","n":5})"},
        {R"({"t":"hello","version":1,"anything":[{"new":true}]})",
         R"({"t":"hello","version":1,"data":"","seat":0,"key":"","readings":0,"steps":0})"},
        // Not JSON of the frames' kind.
        {"", ""},
        {R"({"t":"ping","n":1)", ""},
        {R"({"t":"ping","n":1}x)", ""},
        {R"({"t":"ping","n":1}{})", ""},
        {R"([{"t":"ping","n":1}])", ""},
        {R"({"t":"ping","n":01})", ""},
        {R"({"t":"ping","n":1.0})", ""},
        {R"({"t":"ping","n":1e3})", ""},
        {R"({"t":"ping","n":-1})", ""},
        {R"({"t":"ping","n":99999999999999999999})", ""},
        {R"({"t":"ping","n":null})", ""},
        {R"({"t":"ping","n":1,"n":2})", ""},
        {R"({"t":"p\u0069ng","n":1})", ""},
        {"{\"t\":\"ping\",\"n\":1,\"x\":\"\xc3\xa9\"}", ""},
        {oversized.c_str(), ""},
        {deep.c_str(), ""},
        // Not a frame of this version: an unknown type or field, one missing, of another
        // kind or out of range.
        {R"({"t":"shout","n":1})", ""},
        {R"({"t":"ping","n":1,"extra":0})", ""},
        {R"({"t":"ping"})", ""},
        {R"({"t":"ping","n":"1"})", ""},
        {R"({"t":"hello","version":3,"data":"0A","seat":1,"key":"00112233445566778899aabbccddeeff","readings":0,"steps":0})", ""},
        {R"({"t":"hello","version":3,"data":"0a","seat":16,"key":"00112233445566778899aabbccddeeff","readings":0,"steps":0})", ""},
        {R"({"t":"hello","version":3,"data":"0a","seat":1,"key":"00112233445566778899aabbccddeef","readings":0,"steps":0})", ""},
        {R"({"t":"welcome","seat":0,"last":0})", ""},
        {R"({"t":"limit","seconds":0})", ""},
        {R"({"t":"limit","seconds":86401})", ""},
        {R"({"t":"refused","reason":"tired","version":1,"data":""})", ""},
        {R"({"t":"denied","seq":2,"reason":"Turn"})", ""},
        {R"({"t":"crc","steps":1,"crc":4294967296})", ""},
        // A lobby names each seat once, in the rulers' order.
        {R"({"t":"lobby","seats":[{"seat":3,"joined":true,"ready":true},{"seat":3,"joined":true,"ready":true}]})", ""},
        {R"({"t":"lobby","seats":[{"seat":4,"joined":true,"ready":true},{"seat":2,"joined":true,"ready":true}]})", ""},
        {R"({"t":"lobby","seats":[{"seat":16,"joined":true,"ready":true}]})", ""},
        {R"({"t":"lobby","seats":[{"seat":1,"joined":true}]})", ""},
        {R"({"t":"ready","ready":1})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"M","country":0,"target":14,"soldiers":0,"provisions":0,"funds":0}})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"M","country":0,"target":1,"soldiers":-1,"provisions":0,"funds":0}})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"M","country":0,"target":1,"soldiers":2147483648,"provisions":0,"funds":0}})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"X","country":0}})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"R","country":0}})", ""},
        {R"({"t":"command","seat":1,"seq":1,"command":{"key":"W","country":0}})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":["1"],"firstStep":0,"steps":[]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"key":"R"},{"start":{}}]})", ""},
        // A start's world as base64 written one way only, its seats a seats word.
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"start":{"loaded":false,"ruler":1,"difficulty":1,"random":1,"commandRandom":1,"reading":0,"world":"QR=="}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"start":{"loaded":false,"ruler":1,"difficulty":1,"random":1,"commandRandom":1,"reading":0,"world":"QUJ"}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"start":{"loaded":false,"ruler":1,"difficulty":1,"random":1,"commandRandom":1,"reading":0,"world":"Q=JD"}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"start":{"loaded":false,"ruler":1,"difficulty":1,"random":1,"commandRandom":1,"reading":0,"world":"","seats":"x"}}]})", ""},
        {R"({"t":"record","fresh":false,"firstReading":0,"readings":[],"firstStep":0,"steps":[{"start":{"loaded":false,"ruler":0,"difficulty":1,"random":1,"commandRandom":1,"reading":0,"world":""}}]})", ""},
    };
    for (const FrameCase& c : cases) {
        const std::optional<net::Frame> frame = net::Decode(c.text);
        const std::string expected = std::string(c.written) == "=" ? c.text : c.written;
        SCOPED_TRACE(std::string(c.text).substr(0, 200));
        if (expected.empty()) {
            EXPECT_FALSE(frame);
            continue;
        }
        ASSERT_TRUE(frame);
        EXPECT_EQ(net::Encode(*frame), expected);
    }
}

// A record longer than a frame crosses in frames of the limit that give it back whole,
// from any point; a step larger than a frame cannot cross.
TEST(NetFrames, RecordCrossesInFramesOfTheLimit)
{
    RecordedGame record;
    for (std::int64_t i = 0; i < 20000; ++i)
        record.readings.push_back(1700000000 + i * 7919);
    RecordStart start;
    start.world = std::string(3000, '\xff') + "\r\n";
    start.ruler = 4;
    start.readingIndex = 3;
    record.steps.emplace_back(start);
    for (int i = 0; i < 6000; ++i) {
        const PlayerCommand commands[] = {command::Move{i % 14, (i + 1) % 14, i, 2 * i, 3 * i},
                                          command::Domestic{static_cast<DomesticCommand>(i % 4), i % 14},
                                          command::War{i % 14, (i + 3) % 14}, command::Rest{}};
        record.steps.emplace_back(commands[i % 4]);
    }
    record.steps.emplace_back(start);

    for (const auto& [fromReading, fromStep] : {std::pair<std::size_t, std::size_t>{0, 0}, {19990, 5}, {20000, 6001}}) {
        const auto frames = net::RecordFrames(record, fromReading, fromStep, true);
        ASSERT_TRUE(frames);
        RecordedGame back;
        back.readings.assign(record.readings.begin(), record.readings.begin() + static_cast<std::ptrdiff_t>(fromReading));
        back.steps.assign(record.steps.begin(), record.steps.begin() + static_cast<std::ptrdiff_t>(fromStep));
        for (std::size_t i = 0; i < frames->size(); ++i) {
            const std::string& text = (*frames)[i];
            EXPECT_LE(text.size(), net::kFrameLimit);
            const auto frame = net::Decode(text);
            ASSERT_TRUE(frame && std::holds_alternative<net::RecordPart>(*frame)) << text.substr(0, 100);
            const auto& part = std::get<net::RecordPart>(*frame);
            EXPECT_EQ(part.fresh, i == 0);
            EXPECT_EQ(part.firstReading, back.readings.size());
            EXPECT_EQ(part.firstStep, back.steps.size());
            back.readings.insert(back.readings.end(), part.readings.begin(), part.readings.end());
            back.steps.insert(back.steps.end(), part.steps.begin(), part.steps.end());
        }
        EXPECT_GT(frames->size(), fromStep == 0 ? 2u : 0u);
        EXPECT_EQ(RecordText(back), RecordText(record));
    }

    start.world.assign(net::kFrameLimit, 'x');
    record.steps.emplace_back(start);
    EXPECT_FALSE(net::RecordFrames(record, 0, 0, false));
}

TEST(NetInvitation, TextsReadBackAndSecretsAreTheSystemsOwn)
{
    // "=": reads back as itself; "": refused.
    const FrameCase cases[] = {
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff", "="},
        {"velcor://[::1]:1#seat=15&key=ffffffffffffffffffffffffffffffff", "="},
        {"velcor://game-host.local:65535#seat=1&key=0123456789abcdef0123456789abcdef", "="},
        {"velcor://127.0.0.1:5678/#key=00112233445566778899aabbccddeeff&seat=3",
         "velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff"},
        // The secret in a path or a query, which a client would send; a form not ours.
        {"velcor://127.0.0.1:5678/00112233445566778899aabbccddeeff#seat=3", ""},
        {"velcor://127.0.0.1:5678?key=00112233445566778899aabbccddeeff#seat=3", ""},
        {"ws://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1#seat=3&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://::1:5678#seat=3&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://user@127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff", ""},
        // Out of range, short, long, not hex, missing, twice, unknown, empty.
        {"velcor://127.0.0.1:0#seat=3&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1:65536#seat=3&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1:5678#seat=16&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1:5678#seat=03&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeef", ""},
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff0", ""},
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899AABBCCDDEEFF", ""},
        {"velcor://127.0.0.1:5678#seat=3", ""},
        {"velcor://127.0.0.1:5678#seat=3&seat=4&key=00112233445566778899aabbccddeeff", ""},
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff&name=x", ""},
        {"velcor://127.0.0.1:5678#seat=3&key=00112233445566778899aabbccddeeff&", ""},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto invitation = net::ParseInvitation(c.text);
        const std::string expected = std::string(c.written) == "=" ? c.text : c.written;
        if (expected.empty()) {
            EXPECT_FALSE(invitation);
            continue;
        }
        ASSERT_TRUE(invitation);
        EXPECT_EQ(net::InvitationText(*invitation), expected);
    }

    const std::optional<net::Secret> a = net::NewSecret(), b = net::NewSecret();
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(net::ParseSecret(net::SecretText(*a)), a);
    net::Secret lastByte = *a;
    lastByte.back() ^= 1;
    EXPECT_TRUE(net::SameSecret(*a, *a));
    EXPECT_FALSE(net::SameSecret(*a, lastByte));
}

} // namespace

// The standard vectors of SHA-256 (FIPS 180-4 and its examples), each given whole and in
// pieces of every size 1..70, so that the padding falls at each place in a block.
TEST(NetSha256, StandardVectors)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const auto& [text, digest] : cases) {
        SCOPED_TRACE(text.substr(0, 20) + "... of " + std::to_string(text.size()));
        for (std::size_t piece = 1; piece <= (text.size() > 1000 ? 1 : 70); ++piece) {
            net::Sha256 hash;
            for (std::size_t at = 0; at < text.size(); at += piece)
                hash.Add(std::string_view(text).substr(at, piece));
            EXPECT_EQ(hash.HexFinish(), digest) << "in pieces of " << piece;
        }
    }
}
