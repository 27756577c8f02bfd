// SPDX-License-Identifier: GPL-3.0-or-later
// The scenario editor and the own scenarios of the new game's dialog, driven as a
// player drives them: the fields, the map's keys, undo and redo, saving (refused,
// failing and done), the fairness table beside it, and the list a new game offers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <filesystem>

#include <sys/stat.h>

#include "dialogs/scenario_dlg.h"
#include "foresight/fairness.h"
#include "foresight/random_scenario.h"
#include "gui_test_support.h"
#include "mapkit/data_check.h"
#include "model/scenario_file.h"
#include "platform/path_bytes.h"
#include "test_support.h"
#include "view/editor/editor_map.h"
#include "view/editor/fairness_panel.h"
#include "view/editor/scenario_editor.h"

namespace {

std::string Data() { return std::string(VELCOR_SOURCE_DIR) + "/data"; }
std::string Res() { return std::string(VELCOR_SOURCE_DIR) + "/res"; }
QString PathQ(const std::string& bytes) { return platform::PathFromBytes(bytes); }

// Answers the next message box, and keeps its text.
void AnswerBox(QString* text)
{
    OnModal([text](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            *text = box->text();
            box->accept();
        }
    });
}

} // namespace

TEST(ScenarioEditor, EditsByFieldsAndKeysAreUndoneAndSavedAsAPairThatReadsBackAndPassesTheChecker)
{
    TempDir home;
    const std::string ownDir = home.Path("scenarios");
    QWidget game; // the game's window, whose closing ends the program
    auto* editor = new editor::ScenarioEditor(PathQ(Data()), PathQ(ownDir), &game);
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    const ScenarioPair bundled = editor->Draft().Pair();
    ASSERT_EQ(editor->Draft().Name(), QStringLiteral("群雄割拠"));

    // The map's keys choose the country whose fields are shown.
    editor->Map().setFocus();
    QTest::keyClick(&editor->Map(), Qt::Key_Right);
    QTest::keyClick(&editor->Map(), Qt::Key_Right);
    EXPECT_EQ(editor->ChosenCountry(), 2);
    EXPECT_EQ(editor->FigureField(editor::Figure::Soldiers)->value(), bundled.world.countries[2].soldiers);
    QTest::keyClick(&editor->Map(), Qt::Key_Return);
    EXPECT_TRUE(editor->RulerField()->hasFocus());

    // Figures typed, a ruler from the list's keys.
    const struct {
        editor::Figure figure;
        int value;
        std::int32_t CountryRecord::*field;
    } typed[] = {
        {editor::Figure::Population, 654321, &CountryRecord::population},
        {editor::Figure::Training, 99, &CountryRecord::training},
        {editor::Figure::Funds, 7, &CountryRecord::funds},
    };
    for (const auto& t : typed) {
        QSpinBox* field = editor->FigureField(t.figure);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QString::number(t.value));
        QTest::keyClick(field, Qt::Key_Enter);
        EXPECT_EQ(editor->Draft().Pair().world.countries[2].*t.field, t.value);
    }
    const RulerId before = bundled.world.countries[2].ruler;
    editor->RulerField()->setFocus();
    QTest::keyClick(editor->RulerField(), Qt::Key_Down);
    const RulerId after = editor->Draft().Pair().world.countries[2].ruler;
    EXPECT_EQ(after, before + 1);

    // Undo takes back the last step, showing it in the field, also from a number field
    // (whose own undo would take back only its typing); redo does it again.
    editor->FigureField(editor::Figure::Funds)->setFocus();
    QTest::keyClick(editor->FigureField(editor::Figure::Funds), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->Draft().Pair().world.countries[2].ruler, before);
    EXPECT_EQ(editor->RulerField()->currentIndex(), before);
    QTest::keyClick(editor->RulerField(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor->RulerField()->currentIndex(), after);
    // Taken back again: the ruler had no other country, and a scenario that offers a
    // ruler without land is not saved.
    QTest::keyClick(editor->RulerField(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->Draft().Pair().world.countries[2].ruler, before);

    // A name no folder can have is refused, and so is a folder that cannot be made (a
    // file in its place): the player is told, nothing is written or lost, and the
    // edits stay unsaved.
    auto* name = Child<QLineEdit>(editor, "name");
    for (const bool blocked : {false, true}) {
        SCOPED_TRACE(blocked ? "a file where the folder goes" : "a refused name");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, blocked ? QStringLiteral("my start") : QStringLiteral("a/b"));
        if (blocked)
            WriteFileBytes(ownDir, "kept");
        QString told;
        AnswerBox(&told);
        EXPECT_FALSE(editor->Save());
        EXPECT_FALSE(told.isEmpty());
        EXPECT_EQ(std::filesystem::is_regular_file(ownDir), blocked);
        EXPECT_FALSE(editor->Draft().Steps().isClean());
        if (blocked) {
            EXPECT_EQ(ReadFileBytes(ownDir), "kept");
            std::filesystem::remove(ownDir);
        }
    }

    // Closing the game's window with the edits unsaved asks: Cancel keeps it open, Save
    // saves them and lets it close.
    int asked = 0;
    editor->SetKeepQuestion([&](const QString&) { return ++asked == 1 ? QMessageBox::Cancel : QMessageBox::Save; });
    game.show();
    QString refused; // a save that fails tells the player, and the window stays
    AnswerBox(&refused);
    EXPECT_FALSE(game.close());
    EXPECT_TRUE(game.isVisible());
    EXPECT_TRUE(game.close());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(refused.isEmpty()) << refused.toStdString();
    EXPECT_TRUE(editor->Draft().Steps().isClean());

    const std::string folder = OwnScenarioDirectory(ownDir, "my start");
    const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(folder, 1), CountryFilePath(folder, 1));
    ASSERT_TRUE(read.read) << read.words.Text();
    EXPECT_EQ(read.pair.world.countries[2].population, 654321);
    EXPECT_EQ(read.pair.world.countries[2].ruler, before);
    EXPECT_EQ(read.pair.offered, editor->Draft().Pair().offered);
    EXPECT_EQ(read.pair.world.countries, editor->Draft().Pair().world.countries);
    const mapkit::CheckReport report = mapkit::CheckData(folder, Res(), {1});
    for (const mapkit::Fault& fault : report.faults)
        ADD_FAILURE() << mapkit::FormatFault(fault);
}

TEST(ScenarioEditor, TheFairnessTableFollowsEachChangeWithoutTheEditorWaiting)
{
    TempDir own;
    editor::ScenarioEditor editor(PathQ(Data()), PathQ(own.Path()));
    editor::FairnessPanel& panel = editor.Fairness();
    ASSERT_TRUE(WaitUntil([&] { return panel.Current(); }, 60000));
    ASSERT_TRUE(panel.Table());
    EXPECT_TRUE(panel.Table()->Fair()) << "the bundled start";

    // The first ruler offered left without soldiers, provisions or funds: he can make
    // no war at once.
    const ScenarioPair pair = editor.Draft().Pair();
    const RulerId weak = pair.offered.front();
    for (int c = 0; c < kCountryCount; ++c)
        if (pair.world.countries[static_cast<std::size_t>(c)].ruler == weak)
            for (editor::Figure f : {editor::Figure::Soldiers, editor::Figure::Provisions, editor::Figure::Funds})
                editor.Draft().SetFigure(c, f, 0);
    EXPECT_FALSE(panel.Current()) << "measured anew, the editor not waiting for it";
    ASSERT_TRUE(WaitUntil([&] { return panel.Current(); }, 60000));
    ASSERT_TRUE(panel.Table());
    const std::optional<foresight::FairnessTable> direct =
        foresight::MeasureFairness(editor.Draft().Pair(), foresight::FairnessOptions{});
    ASSERT_TRUE(direct);
    EXPECT_EQ(*panel.Table(), *direct);
    EXPECT_FALSE(panel.Table()->rows.front().Fair());
}

TEST(ScenarioDlg, OwnScenariosFollowTheBundledOnesThoseThatCannotStartGreyedWithTheirReason)
{
    TempDir own;
    const ScenarioPairRead bundled = ReadScenarioPair(ScenarioFilePath(Data(), 3), CountryFilePath(Data(), 3));
    ASSERT_TRUE(bundled.read);
    std::string error;
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "a mine", bundled.pair, &error)) << error;
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "b broken", bundled.pair, &error)) << error;
    WriteFileBytes(CountryFilePath(OwnScenarioDirectory(own.Path(), "b broken"), 1), "not a world\n");
    ScenarioPair landless = bundled.pair;
    for (CountryRecord& c : landless.world.countries)
        if (c.ruler == landless.offered.front())
            c.ruler = 0;
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "c landless", landless, &error)) << error;

    // The listed own scenario chosen; 乱世 of a seed typed, made and kept beside it.
    struct Case {
        const char* what;
        std::function<void(CScenarioDlg*)> choose;
    };
    const Case cases[] = {
        {"own", [](CScenarioDlg* d) { Child<QListWidget>(d, "ownScenarios")->setCurrentRow(0); }},
        {"乱世",
         [](CScenarioDlg* d) {
             QLineEdit* seed = Child<QLineEdit>(d, "seed");
             seed->selectAll();
             QTest::keyClicks(seed, QStringLiteral("7"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CScenarioDlg dlg;
        dlg.dataDirectory = PathQ(Data());
        dlg.ownDirectory = PathQ(own.Path());
        std::vector<Qt::ItemFlags> flags;
        QStringList texts;
        ModalScript script;
        script.Then<CScenarioDlg>([&](CScenarioDlg* d) {
            auto* list = Child<QListWidget>(d, "ownScenarios");
            for (int i = 0; i < list->count(); ++i) {
                flags.push_back(list->item(i)->flags());
                texts << list->item(i)->text();
            }
            c.choose(d);
            QTest::mouseClick(FindButton(d, "選択"), Qt::LeftButton);
        });
        script.Start();
        ASSERT_EQ(dlg.exec(), QDialog::Accepted);
        ASSERT_EQ(texts.size(), 3);
        EXPECT_TRUE(flags[0] & Qt::ItemIsEnabled);
        for (int i : {1, 2}) {
            EXPECT_EQ(flags[i], Qt::NoItemFlags) << texts[i].toStdString();
            EXPECT_TRUE(texts[i].startsWith(QString::fromUtf8(i == 1 ? "b broken\n" : "c landless\n")) &&
                        texts[i].size() > 12)
                << "its name, then why: " << texts[i].toStdString();
        }
        const ScenarioEntry& chosen = dlg.Chosen();
        EXPECT_TRUE(chosen.own);
        EXPECT_TRUE(chosen.playable);
        const ScenarioPairRead read = ReadScenarioPair(chosen.ScenarioPath(), chosen.CountryPath());
        ASSERT_TRUE(read.read) << read.words.Text();
        if (std::string(c.what) == "own") {
            EXPECT_EQ(chosen.name, "a mine");
            EXPECT_EQ(read.pair, bundled.pair);
        } else {
            const std::optional<foresight::RandomScenario> made =
                foresight::MakeRandomScenario(7, ReadScenarioPair(ScenarioFilePath(Data(), 1),
                                                                  CountryFilePath(Data(), 1)).pair.world);
            ASSERT_TRUE(made);
            EXPECT_EQ(read.pair.offered, made->pair.offered);
            EXPECT_EQ(read.pair.world.countries, made->pair.world.countries);
        }
    }
}
