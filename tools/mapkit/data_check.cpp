// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapkit/data_check.h"

#include <algorithm>
#include <optional>
#include <set>

#include "mapkit/map_image_qt.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/numbers.h"
#include "platform/sjis.h"
#include "platform/text_file.h"

namespace mapkit {

namespace {

constexpr int kScenarioCount = 3;

struct Line {
    std::string text;  // without its line end
    bool crlf = false; // ended by CR LF
};

std::vector<Line> SplitLines(const std::string& bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        Line line;
        if (end == std::string::npos) {
            line.text = bytes.substr(start);
            lines.push_back(line);
            break;
        }
        line.text = bytes.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.crlf = true;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Decimal as the game writes numbers: an optional minus, no leading zeros, no blanks.
bool IsPlainNumber(const std::string& text, bool allowNegative = true)
{
    std::size_t i = 0;
    if (allowNegative && !text.empty() && text[0] == '-')
        i = 1;
    if (i >= text.size())
        return false;
    if (text[i] == '0')
        return text.size() == i + 1 && i == 0;
    return std::all_of(text.begin() + static_cast<long>(i), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNeighbourList(const std::string& text)
{
    if (text.empty())
        return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!IsPlainNumber(part, false))
            return false;
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

std::string RulerLabel(int id)
{
    if (id < 0 || id >= kRulerCount)
        return std::to_string(id);
    return std::to_string(id) + " (" + std::string(kRulerNames[id]) + ")";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "17 行目: 訓練 の値 ..." without the line number, which the fault carries already.
std::string WithoutLinePrefix(const std::string& message)
{
    const std::string marker = " 行目: ";
    const std::size_t at = message.find(marker);
    if (at != std::string::npos && at < 8)
        return message.substr(at + marker.size());
    return message;
}

int CountryLine(int country, int item) { return kHeaderLines + kLinesPerCountry * country + item; }

class Checker {
public:
    Checker(const std::string& dataDir, const std::string& resDir) : m_data(dataDir), m_res(resDir) {}

    CheckReport Run(const std::vector<int>& scenarios)
    {
        CheckMap();
        for (int n : scenarios)
            CheckScenario(n);
        return std::move(m_report);
    }

private:
    std::string m_data;
    std::string m_res;
    CheckReport m_report;
    MapImage m_map;
    std::optional<MapAnalysis> m_analysis;

    void Add(const std::string& file, int line, std::string message)
    {
        m_report.faults.push_back({file, line, std::move(message)});
    }

    static std::string At(Point p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

    void CheckMap()
    {
        const std::string file = m_res + "/130.png";
        std::string error;
        if (!LoadMapImage(file, m_map, &error)) {
            Add(file, 0, "cannot read the map: " + error);
            return;
        }
        if (m_map.width != kMapWidth || m_map.height != kMapHeight) {
            Add(file, 0,
                "the map is " + std::to_string(m_map.width) + " x " + std::to_string(m_map.height) + "; it must be " +
                    std::to_string(kMapWidth) + " x " + std::to_string(kMapHeight));
            return;
        }
        m_report.mapRead = true;
        m_analysis = AnalyseMap(m_map);
        const MapAnalysis& a = *m_analysis;
        m_report.backgroundShare = a.BackgroundShare();
        for (int i = 0; i < kCountryCount; ++i) {
            const CountryArea& area = a.countries[i];
            const Colour k = kRegionKeyColours[i];
            const std::string key = "country " + std::to_string(i) + " (key colour " + std::to_string(ColourRed(k)) +
                                    "," + std::to_string(ColourGreen(k)) + "," + std::to_string(ColourBlue(k)) + ")";
            if (area.pixels == 0)
                Add(file, 0, key + " does not appear on the map");
            else if (area.components > 1)
                Add(file, 0,
                    key + " is split into " + std::to_string(area.components) + " areas; a stray piece at " +
                        At(area.pieces.front()) + ", the main area at " + At(area.largestAt));
        }
        if (a.unlinedBorders > 0)
            Add(file, 0,
                std::to_string(a.unlinedBorders) + " places where two countries touch with no border line, first at " +
                    At(a.firstUnlinedBorder));
        if (a.unoutlinedCoast > 0)
            Add(file, 0,
                std::to_string(a.unoutlinedCoast) + " country pixels touch the background with no outline, first at " +
                    At(a.firstUnoutlinedCoast));
        if (a.outlinePixels == 0)
            Add(file, 0, "no pixel has the outline colour 4,4,4");
        if (a.BackgroundShare() < kMinBackgroundShare || a.BackgroundShare() > kMaxBackgroundShare)
            Add(file, 0,
                "the background 102,255,102 covers " + std::to_string(static_cast<int>(a.BackgroundShare() * 1000) / 10.0) +
                    "% of the map; it should cover between " + std::to_string(static_cast<int>(kMinBackgroundShare * 100)) +
                    "% and " + std::to_string(static_cast<int>(kMaxBackgroundShare * 100)) + "%");
        CheckArea(file, kPanelRect, "the status panel", [](Colour c) { return c != kBackgroundColour; },
                  "is not background");
        CheckArea(file, kButtonRowRect, "the command buttons", [](Colour c) { return KeyIndexOf(c) >= 0; },
                  "belongs to a country");
    }

    template <typename Bad>
    void CheckArea(const std::string& file, const Rect& r, const char* what, Bad bad, const char* why)
    {
        int count = 0;
        Point first{};
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (bad(m_map.At(x, y)) && count++ == 0)
                    first = {x, y};
            }
        }
        if (count > 0)
            Add(file, 0,
                std::to_string(count) + " pixels under " + what + " (" + std::to_string(r.left) + ".." +
                    std::to_string(r.right - 1) + ", " + std::to_string(r.top) + ".." + std::to_string(r.bottom - 1) +
                    ") where nothing may be drawn: the first " + At(first) + " " + why);
    }

    struct Offer {
        int id;
        int line;
    };

    void CheckScenario(int number)
    {
        ScenarioSummary summary;
        summary.number = number;
        const std::vector<Offer> offers = CheckScenarioFile(number, summary);
        const bool countriesRead = CheckCountryFile(number, summary);
        if (countriesRead) {
            const std::string file = ScenarioFilePath(m_data, number);
            if (!summary.rulersKnown) {
                m_report.scenarios.push_back(summary);
                return;
            }
            for (const Offer& o : offers) {
                if (o.id > 0 && o.id < kRulerCount && summary.countriesHeld[o.id] == 0)
                    Add(file, o.line,
                        "ruler " + RulerLabel(o.id) + " is offered but holds no country in country" +
                            std::to_string(number) + ".txt");
            }
            m_report.scenarios.push_back(summary);
        }
    }

    void CheckLineEnds(const std::string& file, const std::vector<Line>& lines, const std::string& bytes)
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const bool last = i + 1 == lines.size();
            const bool unterminated = last && !bytes.empty() && bytes.back() != '\n';
            if (!lines[i].crlf) {
                Add(file, static_cast<int>(i + 1),
                    unterminated ? "the last line has no line end; the data files end every line with CR LF"
                                 : "the line ends with LF alone; the data files end every line with CR LF");
                return;
            }
        }
    }

    std::vector<Offer> CheckScenarioFile(int number, ScenarioSummary& summary)
    {
        const std::string file = ScenarioFilePath(m_data, number);
        std::string bytes;
        std::vector<Offer> offers;
        std::string reason;
        if (!platform::ReadWholeFile(file, bytes, nullptr, &reason)) {
            Add(file, 0, "cannot be read: " + reason);
            return offers;
        }
        const std::vector<Line> lines = SplitLines(bytes);
        CheckLineEnds(file, lines, bytes);
        bool ended = false;
        bool reportedTail = false;
        int listed = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int lineNo = static_cast<int>(i + 1);
            const std::string& text = lines[i].text;
            if (ended) {
                if (!text.empty() && !reportedTail) {
                    Add(file, lineNo, "text after the empty line that ends the list; the game never reads it");
                    reportedTail = true;
                }
                continue;
            }
            if (text.empty()) {
                ended = true;
                continue;
            }
            if (++listed > kRulerSlotCount) {
                if (listed == kRulerSlotCount + 1)
                    Add(file, lineNo,
                        "a ruler beyond the " + std::to_string(kRulerSlotCount) +
                            " the ruler dialog has places for; the game never reads it");
                continue;
            }
            if (!IsPlainNumber(text, false)) {
                Add(file, lineNo, Quoted(text) + " is not a ruler id (0..15)");
                continue;
            }
            const platform::LeadingInt id = platform::ParseLeadingInt(text);
            if (id.overflow || id.value >= kRulerCount) {
                Add(file, lineNo, "ruler id " + text + " is outside 0..15");
                continue;
            }
            if (id.value == 0) {
                Add(file, lineNo, "ruler id 0 is 非統治, no ruler; it cannot be offered");
                continue;
            }
            const auto earlier = std::find_if(offers.begin(), offers.end(), [&](const Offer& o) { return o.id == id.value; });
            if (earlier != offers.end()) {
                Add(file, lineNo,
                    "ruler " + RulerLabel(id.value) + " is offered twice (also on line " + std::to_string(earlier->line) +
                        ")");
                continue;
            }
            offers.push_back({id.value, lineNo});
            summary.offered.push_back(id.value);
        }
        if (listed == 0)
            Add(file, 0, "offers no ruler");
        return offers;
    }

    // Reads the country file through the game's own reader; every range it refuses is
    // reported, the line is set aside, and the rest is read again.
    bool CheckCountryFile(int number, ScenarioSummary& summary)
    {
        const std::string file = CountryFilePath(m_data, number);
        std::string bytes;
        std::string reason;
        if (!platform::ReadWholeFile(file, bytes, nullptr, &reason)) {
            Add(file, 0, "cannot be read: " + reason);
            return false;
        }
        const std::vector<Line> lines = SplitLines(bytes);
        CheckLineEnds(file, lines, bytes);
        if (static_cast<int>(lines.size()) != kCountryFileLines)
            Add(file, 0,
                "has " + std::to_string(lines.size()) + " lines; a country file has exactly " +
                    std::to_string(kCountryFileLines));

        std::vector<std::string> texts;
        for (const Line& l : lines)
            texts.push_back(l.text);
        // The count is reported above; the lines that are there are checked as if the
        // missing ones were empty.
        if (texts.size() < static_cast<std::size_t>(kCountryFileLines))
            texts.resize(kCountryFileLines);
        std::set<int> setAside;
        WorldRecord world;
        bool parsed = false;
        for (int attempt = 0; attempt <= kCountryFileLines && !parsed; ++attempt) {
            std::string joined;
            for (const std::string& t : texts)
                joined += t + "\n";
            platform::TextFileReader reader;
            reader.OpenText(joined);
            FileProblem problem;
            parsed = ParseCountryFile(reader, world, &problem, CountryFileUse::StartingWorld);
            if (parsed)
                break;
            Add(file, problem.line, WithoutLinePrefix(problem.words.Text()));
            if (problem.line < 1 || problem.line > kCountryFileLines)
                return false;
            if (static_cast<int>(texts.size()) < problem.line)
                texts.resize(problem.line);
            texts[problem.line - 1] = problem.line == kHeaderLines ? "1" : "0";
            setAside.insert(problem.line);
        }
        if (!parsed)
            return false;

        const int available = static_cast<int>(std::min<std::size_t>(lines.size(), kCountryFileLines));
        auto usable = [&](int line) { return line <= available && !setAside.count(line); };
        // Every number as the game writes it.
        for (int line = 1; line <= available; ++line) {
            if (setAside.count(line))
                continue;
            const int item = line <= kHeaderLines ? 0 : (line - kHeaderLines - 1) % kLinesPerCountry + 1;
            const std::string& text = lines[line - 1].text;
            if (item == 1) {
                continue;
            } else if (item == 2) {
                if (text.empty())
                    Add(file, line, "the neighbour list is empty (the game would read it as bordering country 0)");
                else if (!IsNeighbourList(text))
                    Add(file, line, Quoted(text) + " is not a list of country numbers such as 1,3,12");
            } else if (!IsPlainNumber(text)) {
                Add(file, line,
                    Quoted(text) + " is not a plain number (the game reads it as " +
                        std::to_string(platform::AtoI(text)) + ")");
            }
        }
        CheckNames(file, world, usable);
        CheckNeighbours(file, world, lines, usable);
        CheckMarkers(file, world, usable);

        for (int i = 0; i < kCountryCount; ++i)
            summary.rulersKnown = summary.rulersKnown && !setAside.count(CountryLine(i, 3));
        summary.year = world.year;
        summary.month = world.month;
        for (const CountryRecord& c : world.countries) {
            if (c.ruler >= 0 && c.ruler < kRulerCount)
                ++summary.countriesHeld[c.ruler];
        }
        return true;
    }

    template <typename Usable>
    void CheckNames(const std::string& file, const WorldRecord& world, Usable usable)
    {
        for (int i = 0; i < kCountryCount; ++i) {
            const int line = CountryLine(i, 1);
            if (!usable(line))
                continue;
            const std::string& name = world.countries[i].name;
            if (name.empty()) {
                Add(file, line, "country " + std::to_string(i) + " has no name");
                continue;
            }
            if (platform::SjisToUtf8(name).find("\xEF\xBF\xBD") != std::string::npos) {
                Add(file, line, "the name of country " + std::to_string(i) + " is not valid Shift-JIS");
                continue;
            }
            for (int j = 0; j < i; ++j) {
                if (world.countries[j].name == name) {
                    Add(file, line,
                        "country " + std::to_string(i) + " has the same name as country " + std::to_string(j) +
                            " (line " + std::to_string(CountryLine(j, 1)) + ")");
                    break;
                }
            }
        }
    }

    template <typename Usable>
    void CheckNeighbours(const std::string& file, const WorldRecord& world, const std::vector<Line>& lines,
                         Usable usable)
    {
        std::array<bool, kCountryCount> listOk{};
        for (int i = 0; i < kCountryCount; ++i) {
            const int line = CountryLine(i, 2);
            listOk[i] = usable(line) && IsNeighbourList(lines[line - 1].text);
        }
        auto lists = [&](int i, int j) {
            const auto& n = world.countries[i].neighbours;
            return std::find(n.begin(), n.end(), static_cast<std::uint32_t>(j)) != n.end();
        };
        for (int i = 0; i < kCountryCount; ++i) {
            if (!listOk[i])
                continue;
            const int line = CountryLine(i, 2);
            std::set<std::uint32_t> seen;
            for (std::uint32_t j : world.countries[i].neighbours) {
                if (static_cast<int>(j) == i)
                    Add(file, line, "country " + std::to_string(i) + " lists itself as its neighbour");
                else if (!seen.insert(j).second)
                    Add(file, line, "country " + std::to_string(i) + " lists neighbour " + std::to_string(j) + " twice");
            }
            for (int j = 0; j < kCountryCount; ++j) {
                if (j == i)
                    continue;
                const bool mine = lists(i, j);
                const bool theirs = listOk[j] && lists(j, i);
                if (m_analysis) {
                    const bool meet = m_analysis->adjacent[i][j];
                    if (meet && !mine)
                        Add(file, line,
                            "country " + std::to_string(i) + " borders country " + std::to_string(j) +
                                " on the map, but its list lacks " + std::to_string(j) +
                                (theirs ? " (country " + std::to_string(j) + " lists " + std::to_string(i) + ")" : ""));
                    else if (!meet && mine)
                        Add(file, line,
                            "country " + std::to_string(i) + " lists " + std::to_string(j) +
                                ", but their areas do not meet on the map");
                } else if (theirs && !mine) {
                    Add(file, line,
                        "country " + std::to_string(i) + " does not list " + std::to_string(j) + ", though country " +
                            std::to_string(j) + " lists " + std::to_string(i) + " (line " +
                            std::to_string(CountryLine(j, 2)) + ")");
                }
            }
        }
    }

    template <typename Usable>
    void CheckMarkers(const std::string& file, const WorldRecord& world, Usable usable)
    {
        if (!m_report.mapRead)
            return;
        for (int i = 0; i < kCountryCount; ++i) {
            const int line = CountryLine(i, 11);
            if (!usable(line) || !usable(line + 1))
                continue;
            const CountryRecord& c = world.countries[i];
            const int x = c.mapX;
            const int y = c.mapY - kMarkerCellSize;
            const std::string cell = "the number cell of country " + std::to_string(i) + " (" + std::to_string(x) +
                                     ".." + std::to_string(x + kMarkerCellSize - 1) + ", " + std::to_string(y) + ".." +
                                     std::to_string(y + kMarkerCellSize - 1) + ")";
            const int outside = PixelsOutsideCountry(m_map, i, x, y);
            if (outside > 0)
                Add(file, line,
                    cell + " has " + std::to_string(outside) + " of its " +
                        std::to_string(kMarkerCellSize * kMarkerCellSize) + " pixels outside the country's area");
            const Rect r{x, y, x + kMarkerCellSize, y + kMarkerCellSize};
            if (r.Intersects(kPanelRect))
                Add(file, line, cell + " lies under the status panel");
            if (r.Intersects(kButtonRowRect))
                Add(file, line, cell + " lies under the command buttons");
        }
    }
};

} // namespace

std::string FormatFault(const Fault& fault)
{
    if (fault.line > 0)
        return fault.file + ":" + std::to_string(fault.line) + ": " + fault.message;
    return fault.file + ": " + fault.message;
}

CheckReport CheckData(const std::string& dataDir, const std::string& resDir)
{
    std::vector<int> all;
    for (int n = 1; n <= kScenarioCount; ++n)
        all.push_back(n);
    return CheckData(dataDir, resDir, all);
}

CheckReport CheckData(const std::string& dataDir, const std::string& resDir, const std::vector<int>& scenarios)
{
    Checker checker(dataDir, resDir);
    return checker.Run(scenarios);
}

} // namespace mapkit
