// SPDX-License-Identifier: GPL-3.0-or-later
// A text for the player as the rules and the file readers word it: a Japanese pattern
// with %1..%9 for its arguments, each a plain text (a number, a path, a reason from the
// system), the name of a country or a ruler by its id, or a worded text of its own. Text() gives the Japanese text, byte for
// byte what the headless mode prints; the windows translate the pattern instead
// (words/shown_text.h) and put in the translated arguments.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Marks a pattern for the translation tools (lupdate reads it as QT_TRANSLATE_NOOP) in
// code that has no Qt. Every pattern of a Message is in the context "Message":
// VELCOR_TEXT("Message", "%1 には移動できません").
#define VELCOR_TEXT(context, text) text

namespace platform {

struct Message {
    std::string pattern;       // Japanese; %1..%9 stand for args (a plain text is the text itself)
    std::vector<Message> args; // in the order of their numbers
    bool plain = false;        // a name, a number or a path: not translated
    // A plain text that is the name of a country or a ruler: the windows name it by its
    // id in the player's language.
    enum class Name : std::uint8_t { None, Country, Ruler };
    Name name = Name::None;
    int id = -1;

    Message() = default;
    // A worded text: the pattern is marked with VELCOR_TEXT where it is written.
    Message(const char* worded, std::vector<Message> arguments = {});
    static Message Plain(std::string text);
    static Message Number(long long value);
    // The name of country or ruler id, as the world names it (Japanese).
    static Message CountryName(int id, std::string text);
    static Message RulerName(int id, std::string text);

    // The Japanese text, the arguments put in.
    std::string Text() const;
    bool empty() const { return pattern.empty() && args.empty(); }

    friend bool operator==(const Message& a, std::string_view text) { return a.Text() == text; }
    friend std::ostream& operator<<(std::ostream& out, const Message& m) { return out << m.Text(); }
};

// Puts the arguments into a pattern: %1..%9 become args[0..8]; "%" followed by anything
// else, or a number without an argument, stays as written.
std::string FillPattern(std::string_view pattern, const std::vector<std::string>& args);

} // namespace platform
