// SPDX-License-Identifier: GPL-3.0-or-later
#include "words/shown_text.h"

#include <QCoreApplication>

#include <array>
#include <atomic>
#include <utility>

#include "model/game_state.h"
#include "platform/text_file.h"
#include "rules/names.h"

namespace shown {

namespace {

std::atomic<bool> g_romanized{false};

// The game's rulers and countries in pinyin, without tone marks, as English books on the
// period write them; a province drops its 州 ("Jing" for 荊州). By id.
constexpr std::array<const char*, kRulerCount> kRulersRomanized = {
    "Unruled", "Liu Bei", "Cao Cao",  "Sun Jian",    "Yuan Shao", "Yuan Shu", "Liu Biao",  "Lü Bu",
    "Ma Teng", "Dong Zhuo", "Liu Yan", "Gongsun Zan", "Zhang Lu",  "Tao Qian", "Liu Zhang", "Sun Quan",
};

// The bundled map's countries: their names in the data files and in pinyin.
constexpr std::array<std::pair<const char*, const char*>, kCountryCount> kCountries = {{
    {"司隷", "Sili"},
    {"豫州", "Yu"},
    {"陳留", "Chenliu"},
    {"徐州", "Xu"},
    {"青州", "Qing"},
    {"涼州", "Liang"},
    {"并州", "Bing"},
    {"冀州", "Ji"},
    {"幽州", "You"},
    {"揚州", "Yang"},
    {"荊州", "Jing"},
    {"益州", "Yi"},
    {"交州", "Jiao"},
    {"漢中", "Hanzhong"},
}};

// Country id's name as the world gives it (UTF-8), in the language in use: a scenario
// author's own name for it shows as it stands.
QString CountryById(int id, const std::string& utf8)
{
    const QString name = QString::fromStdString(utf8);
    if (!Romanized() || id < 0 || id >= kCountryCount || utf8 != kCountries[static_cast<std::size_t>(id)].first)
        return name;
    return QString::fromUtf8(kCountries[static_cast<std::size_t>(id)].second);
}

} // namespace

bool Romanized() { return g_romanized.load(std::memory_order_relaxed); }
void SetRomanized(bool on) { g_romanized.store(on, std::memory_order_relaxed); }

QString CountryName(const GameState& world, int country)
{
    return GameState::IsCountryIndex(country) ? CountryById(country, CountryNameUtf8(world, country)) : QString();
}

QString RulerName(int ruler)
{
    if (ruler < 0 || ruler >= kRulerCount)
        return {};
    const auto r = static_cast<std::size_t>(ruler);
    return Romanized() ? QString::fromUtf8(kRulersRomanized[r]) : QString::fromUtf8(kRulerNames[r].data(),
                                                                                     static_cast<qsizetype>(kRulerNames[r].size()));
}

namespace {

QString Worded(const platform::Message& message);

// A text without arguments: one of the platform's reasons for a file is worded from its
// pattern, whether it came as a plain text or as a pattern of its own.
QString Reworded(const platform::Message& message)
{
    if (message.args.empty() && message.name == platform::Message::Name::None)
        if (const platform::Message reason = platform::ReasonWords(message.pattern); !reason.plain)
            return Worded(reason);
    return Worded(message);
}

QString Worded(const platform::Message& message)
{
    if (message.plain) {
        switch (message.name) {
        case platform::Message::Name::Country:
            return CountryById(message.id, message.pattern);
        case platform::Message::Name::Ruler:
            return RulerName(message.id);
        case platform::Message::Name::None:
            break;
        }
        return QString::fromStdString(message.pattern);
    }
    const QString pattern = QCoreApplication::translate("Message", message.pattern.c_str());
    QString out;
    out.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1].unicode() - u'1');
            if (n < message.args.size()) {
                out += Reworded(message.args[n]);
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

} // namespace

QString Text(const platform::Message& message) { return Reworded(message); }

QString Reason(const std::string& reason) { return Worded(platform::ReasonWords(reason)); }

} // namespace shown
