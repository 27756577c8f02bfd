// SPDX-License-Identifier: GPL-3.0-or-later
// The English game beside the Japanese one: the language follows the system until the
// player chooses one, a choice rewords the open windows at once, names are romanized
// from the program's table, Qt's own dialogs speak Japanese in the Japanese game, and
// every label and button holds its text in both languages.
#include <QApplication>
#include <QAbstractFileIconProvider>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/about_dlg.h"
#include "app/kiv_app.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "model/game_state.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/fonts.h"
#include "platform/settings.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "view/battle/battle_dlg.h"
#include "view/commands/command_table.h"
#include "platform/resources.h"
#include "rules/turn.h"
#include "view/map/kiv_view.h"
#include "view/map/status_panel.h"
#include "view/map/map_labels.h"
#include "view/windows/chronicle_log.h"
#include "words/shown_text.h"
#include "gui_test_support.h"
#include "test_support.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FixClock(1'700'000'000);
        platform::settings::SetLanguage(QString());
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance(1));
        view = app->View();
        game = &app->Game();
        view->SetWindowTimes(1, 1);
    }
    void TearDown() override
    {
        app.reset();
        platform::settings::SetLanguage(QString());
        shown::SetRomanized(false);
        platform::UseRealClock();
    }

    void Choose(const char* language)
    {
        app->GetLanguage().Apply(QString::fromLatin1(language));
        QApplication::processEvents(); // Qt posts LanguageChange to every window
    }

    QStringList MenuTitles() const
    {
        QStringList titles;
        for (QAction* action : app->MainFrame()->menuBar()->actions())
            titles.append(action->text());
        return titles;
    }

    QStringList ButtonCaptions() const
    {
        QStringList captions;
        for (const CommandEntry& entry : CommandTable::Entries())
            captions.append((view->*entry.button)->text());
        return captions;
    }

    // The 表示 menu's 言語 item, whatever the language in use.
    QMenu* LanguageMenu() const
    {
        for (QAction* action : app->MainFrame()->ViewMenu()->actions())
            if (QMenu* menu = action->menu(); menu && menu->actions().size() == 2 &&
                                              menu->actions().at(1)->text() == QStringLiteral("English"))
                return menu;
        return nullptr;
    }

    // The game the program's view plays.
    GameState& W() const { return game->Session().world; }

    std::unique_ptr<CKivApp> app;
    CKivView* view = nullptr;
    GameController* game = nullptr;
};

// Texts wider than the widget that shows them, by the widget's own font.
std::vector<std::string> ClippedTexts(QWidget& window)
{
    std::vector<std::string> clipped;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText)
            continue;
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            if (label->fontMetrics().horizontalAdvance(line) > label->width())
                clipped.push_back(QStringLiteral("%1 (%2 > %3)")
                                      .arg(line)
                                      .arg(label->fontMetrics().horizontalAdvance(line))
                                      .arg(label->width())
                                      .toStdString());
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        // A push button draws a frame of a few pixels on each side.
        if (!text.isEmpty() && button->fontMetrics().horizontalAdvance(text) > button->width() - 4)
            clipped.push_back(QStringLiteral("%1 (%2 > %3)")
                                  .arg(text)
                                  .arg(button->fontMetrics().horizontalAdvance(text))
                                  .arg(button->width() - 4)
                                  .toStdString());
    }
    return clipped;
}

} // namespace

TEST(LanguageChoice, TheSystemsLanguageDecidesUntilThePlayerChooses)
{
    EXPECT_EQ(Language::FromLocale(QStringLiteral("ja_JP")), QStringLiteral("ja"));
    EXPECT_EQ(Language::FromLocale(QStringLiteral("ja")), QStringLiteral("ja"));
    EXPECT_EQ(Language::FromLocale(QStringLiteral("ja-JP")), QStringLiteral("ja"));
    EXPECT_EQ(Language::FromLocale(QStringLiteral("en_GB")), QStringLiteral("en"));
    EXPECT_EQ(Language::FromLocale(QStringLiteral("de_DE")), QStringLiteral("en"));
    EXPECT_EQ(Language::FromLocale(QStringLiteral("C")), QStringLiteral("en"));

    // The tests' LANGUAGE is ja; a remembered choice wins over it.
    platform::settings::SetLanguage(QString());
    EXPECT_EQ(Language::Initial(), QStringLiteral("ja"));
    platform::settings::SetLanguage(QStringLiteral("en"));
    EXPECT_EQ(Language::Initial(), QStringLiteral("en"));
    platform::settings::SetLanguage(QString());
}

TEST_F(LanguageTest, AChoiceRewordsMenusButtonsAndTheStatusLineAtOnceAndBack)
{
    const QStringList japaneseMenus = MenuTitles();
    EXPECT_EQ(japaneseMenus,
              (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("表示(&V)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
    ASSERT_TRUE(view->Files().NewGame(0, 1));
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
    ASSERT_EQ(view->mode, ViewMode::PlayerTurn);
    const QString japaneseStatus = view->statusText;
    ASSERT_TRUE(japaneseStatus.endsWith(QStringLiteral(" の番です")));

    QMenu* languages = LanguageMenu();
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->title(), QStringLiteral("言語(&G)"));
    EXPECT_TRUE(languages->actions().at(0)->isChecked());
    languages->actions().at(1)->trigger(); // English
    QApplication::processEvents();

    EXPECT_EQ(platform::settings::Language(), QStringLiteral("en"));
    EXPECT_EQ(MenuTitles(), (QStringList{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_EQ(languages->title(), QStringLiteral("&Language"));
    EXPECT_EQ(app->MainFrame()->Command(CommandTable::ID_FILE_NEW_GAME)->text(), QStringLiteral("&New game"));
    EXPECT_EQ(ButtonCaptions(), (QStringList{QStringLiteral("Move"), QStringLiteral("War"), QStringLiteral("Farm"),
                                             QStringLiteral("Trade"), QStringLiteral("Draft"), QStringLiteral("Train"),
                                             QStringLiteral("Rest")}));
    // The turn's line names the country in English too.
    const int turn = W().turnCountry;
    EXPECT_EQ(view->statusText, QStringLiteral("%1 %2: your turn").arg(turn).arg(shown::CountryName(W(), turn)));
    EXPECT_FALSE(shown::CountryName(W(), turn).isEmpty());
    EXPECT_NE(shown::CountryName(W(), turn), QString::fromStdString(CountryNameUtf8(W(), turn)));
    // The tooltips follow the language of the moment.
    EXPECT_TRUE(view->restButton->toolTip().startsWith(QStringLiteral("Rest (R)"))) << view->restButton->toolTip().toStdString();

    // The keyboard's choice of a target words the line in the language of the moment:
    // Liu Bei starts with one country, so there is none to move to.
    ASSERT_TRUE(MoveTargets(W(), W().turnCountry).empty());
    view->OnMove();
    ASSERT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    view->OnKey(Qt::Key_Tab, Qt::NoModifier, false);
    EXPECT_EQ(view->statusText, QStringLiteral("No country to move to"));
    Choose("ja");
    EXPECT_EQ(view->statusText, QStringLiteral("移動できる国がありません"));
    view->OnKey(Qt::Key_Escape, Qt::NoModifier, false);
    EXPECT_EQ(view->statusText, japaneseStatus);
    Choose("en");

    languages->actions().at(0)->trigger(); // 日本語
    QApplication::processEvents();
    EXPECT_EQ(platform::settings::Language(), QStringLiteral("ja"));
    EXPECT_EQ(MenuTitles(), japaneseMenus);
    EXPECT_EQ(ButtonCaptions(), (QStringList{QStringLiteral("移動"), QStringLiteral("戦争"), QStringLiteral("開墾"),
                                             QStringLiteral("商業"), QStringLiteral("徴兵"), QStringLiteral("訓練"),
                                             QStringLiteral("休養")}));
    EXPECT_EQ(view->statusText, japaneseStatus);
    EXPECT_TRUE(languages->actions().at(0)->isChecked());
    EXPECT_FALSE(languages->actions().at(1)->isChecked());
}

TEST_F(LanguageTest, TheRulesWordsAreTranslatedWithTheirNamesWhileTheirJapaneseTextStays)
{
    ASSERT_TRUE(view->Files().NewGame(0, 1));
    Choose("en");
    // 荊州 is country 10 in every shipped scenario.
    ASSERT_EQ(CountryNameUtf8(W(), 10), "荊州");
    EXPECT_EQ(shown::Text(MoveRefusedWords(W(), 10)), QStringLiteral("Cannot move to Jing"));
    EXPECT_EQ(MoveRefusedWords(W(), 10).Text(), "荊州 には移動できません"); // the headless mode's bytes
    EXPECT_EQ(shown::Text(MoveTitleWords(W(), 10, 0)), QStringLiteral("From Jing to Sili"));
    // A message inside a message: the load refusal names the file and the line.
    platform::Message refusal(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                              {platform::Message::Plain("a.txt"),
                               platform::Message(VELCOR_TEXT("Message", "%1 行目: %2"),
                                                 {platform::Message::Number(7),
                                                  platform::Message(VELCOR_TEXT("Message", "隣国の数が多すぎます (%1)"),
                                                                    {platform::Message::Number(300)})})});
    EXPECT_EQ(shown::Text(refusal), QStringLiteral("The data file is not valid\na.txt\nLine 7: Too many neighbours (300)"));
    EXPECT_EQ(refusal.Text(), "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\na.txt\n7 行目: 隣国の数が多すぎます (300)");

    Choose("ja");
    EXPECT_EQ(shown::Text(MoveRefusedWords(W(), 10)), QStringLiteral("荊州 には移動できません"));
}

TEST(RomanizedNames, EveryRulerAndShippedCountryHasOneByIdAndARenamedCountryStaysAsNamed)
{
    using platform::Message;
    auto country = [](int id, const char* name) { return shown::Text(Message::CountryName(id, name)); };
    shown::SetRomanized(true);
    EXPECT_EQ(shown::RulerName(1), QStringLiteral("Liu Bei"));
    EXPECT_EQ(shown::Text(Message::RulerName(11, "公孫瓚")), QStringLiteral("Gongsun Zan"));
    EXPECT_EQ(country(0, "司隷"), QStringLiteral("Sili"));
    EXPECT_EQ(country(10, "荊州"), QStringLiteral("Jing"));
    EXPECT_EQ(country(10, "謎の国"), QStringLiteral("謎の国")); // a scenario author's own name
    EXPECT_EQ(country(3, "荊州"), QStringLiteral("荊州"));     // another country's name is his own too
    EXPECT_EQ(shown::RulerName(kRulerCount), QString());
    for (RulerId r = 0; r < kRulerCount; ++r)
        EXPECT_NE(shown::RulerName(r), QString::fromUtf8(kRulerNames[r].data(), kRulerNames[r].size())) << "ruler " << r;
    int id = 0;
    for (const char* name : {"司隷", "豫州", "陳留", "徐州", "青州", "涼州", "并州", "冀州", "幽州", "揚州", "荊州",
                             "益州", "交州", "漢中"})
        EXPECT_NE(country(id++, name), QString::fromUtf8(name)) << name;
    shown::SetRomanized(false);
    EXPECT_EQ(shown::RulerName(1), QStringLiteral("劉備"));
    EXPECT_EQ(country(10, "荊州"), QStringLiteral("荊州"));
}

TEST_F(LanguageTest, QtsOwnDialogsSpeakJapaneseInTheJapaneseGameOnly)
{
    // The file dialog's "File name:" label, from Debian's Qt translations.
    const char* fileName = "File &name:";
    Choose("ja");
    const QString japanese = QCoreApplication::translate("QFileDialog", fileName);
    if (japanese == QLatin1String(fileName))
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    EXPECT_TRUE(japanese.contains(QStringLiteral("ファイル名"))) << japanese.toStdString();
    Choose("en");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", fileName), QLatin1String(fileName));
}

TEST_F(LanguageTest, TheFileDialogOpensWhereGamesAreKeptAndSpeaksTheGamesLanguage)
{
    // A home of the test's own, with a documents folder and a folder of saved games.
    TempDir home;
    const QString homePath = QString::fromStdString(home.Path());
    const QString documents = homePath + QStringLiteral("/Documents");
    const QString saves = homePath + QStringLiteral("/saves");
    ASSERT_TRUE(QDir().mkpath(documents) && QDir().mkpath(saves));
    const QByteArray realHome = qgetenv("HOME");
    const QByteArray realConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", homePath.toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    const QString savedFolder = platform::settings::LastGameFolder();
    struct Case {
        const char* language;
        QString remembered;
        QString opens;
    };
    const Case cases[] = {
        {"ja", QString(), documents},
        {"en", saves, saves},
        {"en", homePath + QStringLiteral("/gone"), documents},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language + (" " + c.remembered.toStdString()));
        Choose(c.language);
        platform::settings::SetLastGameFolder(c.remembered);
        QString folder;
        QStringList filters;
        QString textType;
        OnModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            folder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            textType = dialog->iconProvider()->type(QFileInfo(saves + QStringLiteral("/game.txt")));
            dialog->reject();
        });
        platform::GetOpenGamePath(app->MainFrame());
        EXPECT_EQ(folder, c.opens);
        ASSERT_FALSE(filters.isEmpty());
        EXPECT_TRUE(filters.constFirst().endsWith(QStringLiteral("(*.txt)"))) << filters.constFirst().toStdString();
        const bool japanese = std::any_of(textType.begin(), textType.end(), [](QChar ch) { return ch.unicode() >= 0x3000; });
        if (c.language == std::string("ja")) {
            EXPECT_EQ(filters.constFirst(), QStringLiteral("Kiv Files (*.txt)")) << "the game's own filter";
        } else {
            EXPECT_FALSE(japanese) << "the type column: " << textType.toStdString();
        }
    }
    platform::settings::SetLastGameFolder(savedFolder);
    qputenv("HOME", realHome);
    if (!realConfig.isNull())
        qputenv("XDG_CONFIG_HOME", realConfig);
}

TEST_F(LanguageTest, EveryLabelAndButtonHoldsItsTextInBothLanguages)
{
    ASSERT_TRUE(view->Files().NewGame(0, 1));
    for (const char* language : {"ja", "en"}) {
        SCOPED_TRACE(language);
        Choose(language);
        EXPECT_EQ(ClippedTexts(*view), std::vector<std::string>());
        // The panel's labels stand at x 460 and the figures at 500; every ruler's name
        // under his portrait stays inside its box (x 500..579): what lies right of the
        // box and the two columns before the figures are as with no name drawn.
        const QFontMetrics panel(platform::Font(platform::GameFont::System));
        auto drawn = [&](int ruler) {
            W().countries[0].SetRuler(ruler);
            view->marks.shownCountry = ruler == -1 ? -1 : 0;
            view->OnDraw();
            return view->Surface().copy();
        };
        const QRect rightOfName(579, 117, 21, 24);
        const QImage none = drawn(-1);
        for (int y = 180; y < 340; ++y)
            for (int x : {498, 499})
                ASSERT_EQ(none.pixel(x, y), none.pixel(560, y)) << "a label reaches the figures at " << x << "," << y;
        for (RulerId r = 1; r < kRulerCount; ++r)
            EXPECT_TRUE(drawn(r).copy(rightOfName) == none.copy(rightOfName)) << shown::RulerName(r).toStdString();
        // The date from x 480 to the panel's edge at 599, with the widest month.
        EXPECT_LE(panel.horizontalAdvance(
                      QCoreApplication::translate("StatusPanel", "%1 年 %2 月").arg(2000).arg(12)),
                  119);

        CMoveDlg move;
        move.m_strTitle = shown::Text(MoveTitleWords(W(), 10, 0));
        move.SetMaxSoldiers(500000);
        move.SetMaxFunds(500000);
        move.SetMaxProvisions(500000);
        move.show();
        EXPECT_EQ(ClippedTexts(move), std::vector<std::string>());
        CScenarioDlg scenario;
        EXPECT_EQ(ClippedTexts(scenario), std::vector<std::string>());
        CRulerDlg ruler;
        EXPECT_EQ(ClippedTexts(ruler), std::vector<std::string>());
        CAboutDlg about;
        EXPECT_EQ(ClippedTexts(about), std::vector<std::string>());
    }
}

namespace {
// Japanese characters (kana, kanji, half-width kana) in text.
bool HasJapanese(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3040 && u <= 0x30ff) || (u >= 0x4e00 && u <= 0x9fff) || (u >= 0xff61 && u <= 0xff9f);
    });
}
} // namespace

TEST_F(LanguageTest, TheEnglishGameSaysInEnglishWhatTheFilesTheCalendarAndThePanelTell)
{
    ASSERT_TRUE(view->Files().NewGame(0, 1));
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
    Choose("en");

    // The reasons the platform gives for a file, as the windows pass them on.
    TempDir dir;
    WriteFileBytes(dir.Path("large.txt"), "x");
    std::filesystem::resize_file(dir.Path("large.txt"), static_cast<std::uintmax_t>(ChronicleLog::kMaxFileSize) + 1);
    ChronicleLog log(W());
    const struct {
        const char* what;
        std::function<bool(QString*)> fails;
    } files[] = {
        {"a write into no folder", [&](QString* e) { return log.Save(QString::fromStdString(dir.Path("none/c.jsonl")), e); }},
        {"a write onto a folder", [&](QString* e) { return log.Save(QString::fromStdString(dir.Path()), e); }},
        {"a folder read", [&](QString* e) { return log.Load(QString::fromStdString(dir.Path()), e); }},
        {"a file too large", [&](QString* e) { return log.Load(QString::fromStdString(dir.Path("large.txt")), e); }},
    };
    for (const auto& f : files) {
        QString error;
        EXPECT_FALSE(f.fails(&error)) << f.what;
        EXPECT_FALSE(error.isEmpty()) << f.what;
        EXPECT_FALSE(HasJapanese(error)) << f.what << ": " << error.toStdString();
    }

    // One month is not "months".
    W().month = 12; // the taxes come in January
    ASSERT_EQ(NextTaxes(W(), W().turnCountry).monthsAway, 1);
    const QString tip = SeasonTipText(W(), W().turnCountry, false);
    EXPECT_FALSE(tip.contains(QStringLiteral("1 months"))) << tip.toStdString();

    // Every label of the panel ends a space's width short of its figure.
    std::vector<CKivView::DrawnText> texts;
    view->RecordTexts(&texts);
    view->marks.shownCountry = W().turnCountry;
    view->OnDraw();
    view->RecordTexts(nullptr);
    const QFontMetrics metrics(platform::Font(platform::GameFont::System, 1));
    for (const QString& label : StatusPanel::Labels()) {
        const auto drawn = std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == label; });
        ASSERT_NE(drawn, texts.end()) << label.toStdString();
        EXPECT_LE(drawn->at.x() + metrics.horizontalAdvance(label), 500 - metrics.horizontalAdvance(QLatin1Char(' ')))
            << label.toStdString();
    }

    // The end pictures have English words.
    for (const auto& [mode, resource] : {std::pair{ViewMode::Victory, 163}, std::pair{ViewMode::GameOver, 164}}) {
        view->mode = mode;
        view->OnDraw();
        const QImage japanese = platform::LoadResourceImage(resource);
        EXPECT_NE(view->Surface().copy(QRect(QPoint(158, 100), japanese.size())), japanese) << resource;
    }
    view->mode = ViewMode::PlayerTurn;
}

TEST_F(LanguageTest, TheMenusTakeTheFaceOfTheLanguageChosenAsAtAStartInIt)
{
    // Each language's face, as the game starts in it.
    QString face[2];
    for (int english = 0; english < 2; ++english) {
        app.reset();
        platform::settings::SetLanguage(QString::fromLatin1(english ? "en" : "ja"));
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance(1));
        face[english] = QFontInfo(app->MainFrame()->menuBar()->font()).family();
    }
    ASSERT_NE(face[0], face[1]) << "the platform gives both languages one face";
    // Switched while the game runs, the menus take the other language's face and back.
    Choose("ja");
    EXPECT_EQ(QFontInfo(app->MainFrame()->menuBar()->font()).family(), face[0]);
    Choose("en");
    EXPECT_EQ(QFontInfo(app->MainFrame()->menuBar()->font()).family(), face[1]);
}
