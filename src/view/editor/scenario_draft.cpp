// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/editor/scenario_draft.h"

#include <QUndoCommand>

#include <limits>

namespace editor {

namespace {

constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();
// Steps of one field closer together than this are one step.
constexpr qint64 kMergeMs = 1000;

// The keys of the fields: a figure's is the country's and the figure's together.
constexpr int kRulerKey = 0;
constexpr int kFigureKey = 100;
constexpr int kDateKey = 1000;
constexpr int kOfferedKey = 1001;
constexpr int kNameKey = 1002;
constexpr int kNeverMerged = -1;

// One step: the pair before and after it.
class PairStep : public QUndoCommand {
public:
    PairStep(ScenarioDraft& draft, DraftState before, DraftState after, int key, bool mergeable)
        : m_draft(draft), m_before(std::move(before)), m_after(std::move(after)), m_key(key), m_mergeable(mergeable)
    {
    }

    void undo() override { m_draft.Replace(m_before); }
    void redo() override { m_draft.Replace(m_after); }
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const PairStep*>(other);
        if (!next->m_mergeable || next->m_key != m_key || m_key == kNeverMerged)
            return false;
        m_after = next->m_after;
        setObsolete(m_after == m_before);
        return true;
    }

private:
    ScenarioDraft& m_draft;
    DraftState m_before;
    DraftState m_after;
    int m_key;
    bool m_mergeable;
};

} // namespace

const std::array<FigureInfo, 7>& Figures()
{
    static const std::array<FigureInfo, 7> figures = {{
        {Figure::Population, &CountryRecord::population, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "人口")},
        {Figure::Cultivation, &CountryRecord::cultivation, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "開墾")},
        {Figure::Commerce, &CountryRecord::commerce, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "商業")},
        {Figure::Soldiers, &CountryRecord::soldiers, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "兵士")},
        {Figure::Training, &CountryRecord::training, Country::kMaxTraining, QT_TRANSLATE_NOOP("StatusPanel", "訓練")},
        {Figure::Provisions, &CountryRecord::provisions, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "兵糧")},
        {Figure::Funds, &CountryRecord::funds, kNoLimit, QT_TRANSLATE_NOOP("StatusPanel", "資金")},
    }};
    return figures;
}

ScenarioDraft::ScenarioDraft(QObject* parent) : QObject(parent) {}

void ScenarioDraft::Open(ScenarioPair pair, QString name)
{
    Change({std::move(pair), std::move(name)}, kNeverMerged);
    m_steps.setClean();
}

void ScenarioDraft::Replace(const DraftState& state)
{
    m_lastKey = kNeverMerged;
    if (state == m_state)
        return;
    m_state = state;
    emit changed();
}

void ScenarioDraft::Change(DraftState changed, int key)
{
    if (changed == m_state)
        return;
    const bool mergeable =
        key != kNeverMerged && key == m_lastKey && m_lastStep.isValid() && m_lastStep.elapsed() < kMergeMs;
    m_steps.push(new PairStep(*this, m_state, std::move(changed), key, mergeable));
    m_lastKey = key;
    m_lastStep.start();
}

void ScenarioDraft::ChangePair(ScenarioPair pair, int key) { Change({std::move(pair), m_state.name}, key); }

void ScenarioDraft::SetName(const QString& name) { Change({m_state.pair, name}, kNameKey); }

void ScenarioDraft::SetRuler(int country, RulerId ruler)
{
    if (!GameState::IsCountryIndex(country) || ruler < 0 || ruler >= kRulerCount)
        return;
    ScenarioPair pair = m_state.pair;
    pair.world.countries[static_cast<std::size_t>(country)].ruler = ruler;
    ChangePair(std::move(pair), kRulerKey + country);
}

void ScenarioDraft::SetFigure(int country, Figure figure, std::int32_t value)
{
    const FigureInfo& info = Figures()[static_cast<std::size_t>(figure)];
    if (!GameState::IsCountryIndex(country) || value < 0 || value > info.maximum)
        return;
    ScenarioPair pair = m_state.pair;
    pair.world.countries[static_cast<std::size_t>(country)].*info.field = value;
    ChangePair(std::move(pair), kFigureKey + country * 10 + static_cast<int>(figure));
}

void ScenarioDraft::SetDate(std::int32_t year, std::int32_t month)
{
    if (year < 0 || month < 1 || month > 12)
        return;
    ScenarioPair pair = m_state.pair;
    pair.world.year = year;
    pair.world.month = month;
    ChangePair(std::move(pair), kDateKey);
}

void ScenarioDraft::SetOffered(std::vector<RulerId> offered)
{
    if (offered.size() > static_cast<std::size_t>(kRulerSlotCount))
        return;
    ScenarioPair pair = m_state.pair;
    pair.offered = std::move(offered);
    ChangePair(std::move(pair), kOfferedKey);
}

} // namespace editor
