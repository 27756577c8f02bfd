// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/shown_text.h"

#include <QCoreApplication>

#include <array>
#include <atomic>
#include <utility>

#include "model/world.h"
#include "rules/names.h"

namespace shown {

namespace {

std::atomic<bool> g_romanized{false};

// The game's rulers and countries in pinyin, without tone marks, as English books on the
// period write them; a province drops its 州 ("Jing" for 荊州).
constexpr std::array<std::pair<const char*, const char*>, 30> kRomanized = {{
    {"非統治", "Unruled"},
    {"劉備", "Liu Bei"},
    {"曹操", "Cao Cao"},
    {"孫堅", "Sun Jian"},
    {"袁紹", "Yuan Shao"},
    {"袁術", "Yuan Shu"},
    {"劉表", "Liu Biao"},
    {"呂布", "Lü Bu"},
    {"馬騰", "Ma Teng"},
    {"董卓", "Dong Zhuo"},
    {"劉焉", "Liu Yan"},
    {"公孫瓚", "Gongsun Zan"},
    {"張魯", "Zhang Lu"},
    {"陶謙", "Tao Qian"},
    {"劉璋", "Liu Zhang"},
    {"孫権", "Sun Quan"},
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

} // namespace

bool Romanized() { return g_romanized.load(std::memory_order_relaxed); }
void SetRomanized(bool on) { g_romanized.store(on, std::memory_order_relaxed); }

QString Romanization(const QString& japanese)
{
    for (const auto& [ja, en] : kRomanized)
        if (japanese == QString::fromUtf8(ja))
            return QString::fromUtf8(en);
    return {};
}

QString Name(const std::string& utf8)
{
    const QString name = QString::fromStdString(utf8);
    if (!Romanized())
        return name;
    const QString romanized = Romanization(name);
    return romanized.isEmpty() ? name : romanized;
}

QString CountryName(const World& world, int country)
{
    return World::IsCountryIndex(country) ? Name(CountryNameUtf8(world, country)) : QString();
}

QString RulerName(int ruler)
{
    return ruler >= 0 && ruler < kRulerCount ? Name(std::string(kRulerNames[static_cast<std::size_t>(ruler)]))
                                             : QString();
}

QString Text(const platform::Message& message)
{
    if (message.plain)
        return Name(message.pattern);
    const QString pattern = QCoreApplication::translate("Message", message.pattern.c_str());
    QString out;
    out.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1].unicode() - u'1');
            if (n < message.args.size()) {
                out += Text(message.args[n]);
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

} // namespace shown
