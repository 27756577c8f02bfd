// SPDX-License-Identifier: GPL-3.0-or-later
// A scenario being edited: its pair and its name, and every change to them as a step
// that can be undone and done again, opening another scenario included. The editor's
// fields write through it and are filled from it, so that an undo shows in every field
// and on the map alike.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <vector>

#include "model/scenario_file.h"
#include "model/scenario_pair.h"

namespace editor {

// The figures of a country the editor sets, in the order it shows them.
enum class Figure { Population, Cultivation, Commerce, Soldiers, Training, Provisions, Funds };

struct FigureInfo {
    Figure figure;
    std::int32_t CountryRecord::*field;
    std::int32_t maximum;
    const char* label; // translated in the context "StatusPanel", as the game's panel names it
};
const std::array<FigureInfo, 7>& Figures();

struct DraftState {
    ScenarioPair pair;
    QString name; // the own scenario's name it is saved as

    bool operator==(const DraftState&) const = default;
};

class ScenarioDraft : public QObject {
    Q_OBJECT

public:
    explicit ScenarioDraft(QObject* parent = nullptr);

    const ScenarioPair& Pair() const { return m_state.pair; }
    const QString& Name() const { return m_state.name; }
    QUndoStack& Steps() { return m_steps; }

    // Another scenario in place of this one: a step like any other (an undo brings
    // back what was being edited), after which nothing counts as changed.
    void Open(ScenarioPair pair, QString name);

    // Each a step of its own; a value the pair already holds is no step. Steps of the
    // same field that follow each other within a second (a spin box's arrow held down,
    // a number typed again) are one step.
    void SetRuler(int country, RulerId ruler);
    void SetFigure(int country, Figure figure, std::int32_t value);
    void SetDate(std::int32_t year, std::int32_t month);
    // The rulers offered, in the order the ruler dialog shows them.
    void SetOffered(std::vector<RulerId> offered);
    void SetName(const QString& name);

    // The scenario as a step sets it (an edit, an undo, a redo).
    void Replace(const DraftState& state);

signals:
    // The pair or the name changed: by an edit, an undo or a redo, or an opening.
    void changed();

private:
    // key tells which field a step changes: steps of one key may merge; -1 never.
    void Change(DraftState changed, int key);
    void ChangePair(ScenarioPair pair, int key);

    DraftState m_state;
    QUndoStack m_steps;
    QElapsedTimer m_lastStep;
    int m_lastKey = -1;
};

} // namespace editor
