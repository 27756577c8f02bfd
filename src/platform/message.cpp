// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/message.h"

namespace platform {

Message::Message(const char* worded, std::vector<Message> arguments) : pattern(worded), args(std::move(arguments)) {}

Message Message::Plain(std::string text)
{
    Message m;
    m.pattern = std::move(text);
    m.plain = true;
    return m;
}

Message Message::Number(long long value) { return Plain(std::to_string(value)); }

Message Message::CountryName(int id, std::string text)
{
    Message m = Plain(std::move(text));
    m.name = Name::Country;
    m.id = id;
    return m;
}

Message Message::RulerName(int id, std::string text)
{
    Message m = Plain(std::move(text));
    m.name = Name::Ruler;
    m.id = id;
    return m;
}

std::string Message::Text() const
{
    if (plain)
        return pattern;
    std::vector<std::string> texts;
    texts.reserve(args.size());
    for (const Message& arg : args)
        texts.push_back(arg.Text());
    return FillPattern(pattern, texts);
}

std::string FillPattern(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

} // namespace platform
