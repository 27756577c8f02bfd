// SPDX-License-Identifier: GPL-3.0-or-later
// The first step of a new game: three scenario buttons, one of which the player picks.
// Beside them, the player's own scenarios (one that cannot start a game greyed, with
// its reason) and 乱世, a scenario made fair from a seed shown and typed here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/scenario_folder.h"
#include "platform/template_dialog.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dialogs {
class RandomStart;
}

class CScenarioDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    static constexpr int kScenarioCount = 3;

    explicit CScenarioDlg(QWidget* owner = nullptr);

    // The caption of the scenario whose world begins in year, in the language in use;
    // empty when none does.
    static QString CaptionOfYear(int year);

    // The chosen scenario 0..2; kRandomScenario for 乱世, kFirstOwnScenario + i for
    // the own scenario in place i of the list; -1 = none.
    int m_nScenario = -1;
    static constexpr int kRandomScenario = kScenarioCount;
    static constexpr int kFirstOwnScenario = kScenarioCount + 1;

    // Where the scenarios are, set by the caller: the game's data folder and the
    // player's own scenario folder (empty: no own scenario is listed, and 乱世 cannot
    // be kept to be played).
    QString dataDirectory;
    QString ownDirectory;

    // After OK, the scenario to play: its folder and its files' number, and the rulers
    // it offers as listed (乱世: the scenario made, kept in the own folder).
    const ScenarioEntry& Chosen() const { return m_chosen; }
    // The seed the chosen scenario was made from, when it is a 乱世 made here.
    std::optional<std::uint32_t> ChosenSeed() const { return m_chosenSeed; }
    // The own scenarios listed, in their places.
    const std::vector<ScenarioEntry>& OwnScenarios() const { return m_own; }
    // 乱世's seed as the field holds it; false when it holds no seed.
    bool Seed(std::uint32_t& seed) const;
    void SetSeed(std::uint32_t seed);
    // How long the last 乱世 took to make, in milliseconds.
    qint64 RandomMs() const;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Radio group and own list to and from m_nScenario.
    void DoDataExchange(bool saveAndValidate);
    void FillOwnList();
    void StartRandom();
    void OnRandomMade();
    void SetMaking(bool making);

    QButtonGroup* m_group;
    QPushButton* m_ok;
    QListWidget* m_ownList;
    QLineEdit* m_seed;
    QLabel* m_making;
    dialogs::RandomStart* m_random;
    std::vector<ScenarioEntry> m_bundled;
    std::vector<ScenarioEntry> m_own;
    ScenarioEntry m_chosen;
    std::uint32_t m_randomSeed = 0;
    std::optional<std::uint32_t> m_chosenSeed;
};
