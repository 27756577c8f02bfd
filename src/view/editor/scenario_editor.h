// SPDX-License-Identifier: GPL-3.0-or-later
// The scenario editor (ｼﾅﾘｵ編集): a bundled or own scenario opened on the game's map,
// each country's ruler and figures, the date, the rulers offered and the name set with
// the pointer or the keys, every change undone and done again, and the scenario saved
// into the player's own scenario folder, each file written atomically. Beside it, the
// fairness table measured again in the background after each change. Closed, it keeps
// what it holds: opened again, it shows the same scenario with its steps.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

#include "model/scenario_folder.h"
#include "view/editor/scenario_draft.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QSpinBox;
class QToolButton;

namespace editor {

class EditorMap;
class FairnessPanel;

class ScenarioEditor : public QMainWindow {
    Q_OBJECT

public:
    // bundledDir: the game's data folder; ownDir: the player's own scenario folder.
    ScenarioEditor(const QString& bundledDir, const QString& ownDir, QWidget* parent = nullptr);
    ~ScenarioEditor() override;

    // Opens a scenario of the list; false, with the reason told, when it cannot be read.
    bool OpenEntry(const ScenarioEntry& entry);
    // Saves into the own scenario folder under the name set; false, with the reason
    // told, when the name is refused, the scenario could not start a game, or a file
    // cannot be written. A scenario of another name there is replaced only when the
    // player agrees (ask answers; by default a question box).
    bool Save();
    void SetReplaceQuestion(std::function<bool(const QString& name)> ask) { m_askReplace = std::move(ask); }
    // Before the game's window closes with steps unsaved: ask answers QMessageBox::Save
    // (saved, and the window closes only when that succeeded), Discard or Cancel (the
    // window stays). By default a question box.
    void SetKeepQuestion(std::function<int(const QString& name)> ask) { m_askKeep = std::move(ask); }
    // Saves, drops or keeps the unsaved steps as the player answers; false when the
    // window that asked must stay open.
    bool KeepChanges();

    ScenarioDraft& Draft() { return m_draft; }
    EditorMap& Map() { return *m_map; }
    FairnessPanel& Fairness() { return *m_fairness; }
    // Chooses the country whose fields are shown.
    void ChooseCountry(int country);
    int ChosenCountry() const { return m_country; }

    // The field of a figure (tests type into it as a player does).
    QSpinBox* FigureField(Figure figure) const { return m_figures[static_cast<std::size_t>(figure)]; }
    QComboBox* RulerField() const { return m_ruler; }
    QListWidget* OfferedField() const { return m_offered; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildMenus();
    QWidget* BuildFields();
    void Retranslate();
    void FillOpenMenu();
    // Every field, the map and the title from the draft; the table measured again when
    // the pair changed.
    void FillFromDraft();
    void FillCountry();
    void FillOffered();
    void OnOfferedChanged(QListWidgetItem* item);
    void MoveOffered(int direction);
    void UpdateTitle();
    void Note(const QString& text);
    // An entry's caption in the open menu.
    static QString EntryCaption(const ScenarioEntry& entry);

    QString m_bundledDir;
    QString m_ownDir;
    ScenarioDraft m_draft;
    ScenarioPair m_measured; // the pair the table was last asked for
    QString m_savedAs;       // the own scenario it was opened from or last saved as
    int m_country = 0;
    std::function<bool(const QString&)> m_askReplace;
    std::function<int(const QString&)> m_askKeep;

    EditorMap* m_map = nullptr;
    FairnessPanel* m_fairness = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_openMenu = nullptr;
    QAction* m_save = nullptr;
    QAction* m_close = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QGroupBox* m_scenarioBox = nullptr;
    QGroupBox* m_countryBox = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_dateLabel = nullptr;
    QSpinBox* m_year = nullptr;
    QSpinBox* m_month = nullptr;
    QLabel* m_offeredLabel = nullptr;
    QListWidget* m_offered = nullptr;
    QToolButton* m_earlier = nullptr;
    QToolButton* m_later = nullptr;
    QLabel* m_problem = nullptr;
    QLabel* m_rulerLabel = nullptr;
    QComboBox* m_ruler = nullptr;
    std::array<QLabel*, 7> m_figureLabels{};
    std::array<QSpinBox*, 7> m_figures{};
    QLabel* m_keysHint = nullptr;
};

// Adds ｼﾅﾘｵ編集 to menu before before: it opens the editor, made on first use as a
// window of parent, on the scenarios of dataDirectory (read when it is opened) and the
// player's own folder.
QAction* AddScenarioEditorCommand(QMenu& menu, QAction* before, QWidget& parent,
                                  std::function<QString()> dataDirectory);

} // namespace editor
