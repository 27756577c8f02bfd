// SPDX-License-Identifier: GPL-3.0-or-later
// What the main view writes and copies onto the map: the words of the status panel and
// their places, the numbers, the portrait of the shown country's ruler, the battle
// markers, the turn frame and the seven command buttons.
#include <gtest/gtest.h>

#include <QTest>

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

#include "foresight/advisor.h"
#include "foresight/policy.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "platform/sjis.h"
#include "view/windows/advice_wnd.h"
#include "view/map/map_tips.h"
#include "words/shown_text.h"
#include "view_fixture.h"

namespace {

using Texts = std::vector<CKivView::DrawnText>;

CKivView::DrawnText T(int x, int y, const char* text) { return {QPoint(x, y), QString::fromUtf8(text)}; }

std::string Show(const Texts& texts)
{
    std::string out;
    for (const CKivView::DrawnText& t : texts)
        out += "(" + std::to_string(t.at.x()) + "," + std::to_string(t.at.y()) + ") \"" + t.text.toStdString() + "\"\n";
    return out;
}

// The eight labels of the figures box, top to bottom.
const char* const kLabels[] = {"国名", "人口", "開墾", "商業", "兵糧", "資金", "兵士", "訓練"};

} // namespace

class ViewPanelTest : public KivViewTest {
protected:
    const Texts& DrawTexts()
    {
        view->RecordTexts(&texts);
        Draw();
        view->RecordTexts(nullptr);
        return texts;
    }
    Texts texts;
};

TEST_F(ViewPanelTest, BeforeAGameTheLabelsNoDateAndAnEmptyMessage)
{
    Texts expected;
    for (int i = 0; i < kCountryCount; ++i)
        expected.push_back({QPoint(0, -16), QString::number(i)}); // every marker still at 0, 0
    for (int row = 0; row < 8; ++row)
        expected.push_back(T(460, 180 + 20 * row, kLabels[row]));
    expected.push_back(T(400, 358, ""));
    EXPECT_EQ(DrawTexts(), expected) << Show(texts);
}

TEST_F(ViewPanelTest, AShownCountryWritesItsRulerNameAndFiguresInTheirRows)
{
    LoadTestWorld(); // country 4 is 徐州 of ruler 3, 孫堅
    Country& c = W().countries[4];
    c.SetPopulation(123456);
    c.SetCultivation(41);
    c.SetCommerce(37);
    c.SetProvisions(5555);
    c.SetFunds(-250); // a figure is written with its sign
    c.SetSoldiers(8888);
    c.SetTraining(64);
    W().year = 219;
    W().month = 12;
    W().turnCountry = 0;
    view->marks.shownCountry = 4;
    view->statusText = QStringLiteral("開墾が 41 になりました");

    Texts expected;
    for (int i = 0; i < kCountryCount; ++i)
        expected.push_back({QPoint(SquareX(i) + 4, kSquareTop + 4), QString::number(i)});
    expected.push_back(T(520, 120, "孫堅"));
    expected.push_back(T(480, 148, "219 年 12 月"));
    for (int row = 0; row < 8; ++row)
        expected.push_back(T(460, 180 + 20 * row, kLabels[row]));
    for (const CKivView::DrawnText& figure : {T(500, 180, "4 徐州"), T(500, 200, "123456"), T(500, 220, "41"),
                                              T(500, 240, "37"), T(500, 260, "5555"), T(500, 280, "-250"),
                                              T(500, 300, "8888"), T(500, 320, "64")})
        expected.push_back(figure);
    expected.push_back(T(400, 358, "開墾が 41 になりました"));
    EXPECT_EQ(DrawTexts(), expected) << Show(texts);

    // Another country, another ruler: the name box follows the shown country, not the
    // turn country.
    view->marks.shownCountry = 12; // no ruler
    DrawTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), T(520, 120, "非統治")), texts.end()) << Show(texts);
    EXPECT_NE(std::find(texts.begin(), texts.end(), T(500, 180, "12 交州")), texts.end()) << Show(texts);
}

TEST_F(ViewPanelTest, ThePortraitIsTheShownCountrysRulers)
{
    LoadTestWorld();
    const std::array<QImage, kRulerCount> portraits = DistinctPortraits();
    W().turnCountry = 0; // ruler 1
    for (int shown : {4, 9, 12}) {
        view->marks.shownCountry = shown;
        const int ruler = W().countries[static_cast<std::size_t>(shown)].GetRuler();
        const QImage& s = Draw();
        EXPECT_EQ(s.copy(500, 10, 80, 100), portraits[static_cast<std::size_t>(ruler)]) << "country " << shown;
        EXPECT_EQ(At(s, 499, 9), kWhite) << "the white gap inside the frames stays";
        EXPECT_EQ(At(s, 580, 110), kWhite);
    }
    view->marks.shownCountry = -1;
    EXPECT_TRUE(AllPixels(Draw(), QRect(500, 10, 80, 100), kWhite)) << "no country, no portrait";
}

TEST_F(ViewPanelTest, BattleMarkersAreCopiedWhiteIncluded)
{
    LoadTestWorld();
    // A marker with a white half: the white covers the number like the rest.
    QImage marker(16, 16, QImage::Format_RGB32);
    marker.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            marker.setPixel(x, y, qRgb(220, 60, 0));
    view->markerBitmap = marker;
    view->marks.battleAttacker = 2;
    view->marks.battleTarget = 9;
    const QImage& s = Draw();
    for (int side : {2, 9})
        EXPECT_EQ(s.copy(SquareX(side) + 4, kSquareTop + 4, 16, 16), marker) << "country " << side;
    EXPECT_GT(BlackPixels(s, QRect(SquareX(3) + 4, kSquareTop + 4, 16, 16)), 5) << "others keep their numbers";
}

TEST_F(ViewPanelTest, NoTurnFrameUnlessTheCursorIsACountry)
{
    LoadTestWorld();
    // The corners of both frames around every number cell.
    auto framed = [&](const QImage& s, int i) {
        const int x = SquareX(i) + 4;
        const int y = kSquareTop + 20;
        return At(s, x - 1, y - 16) == kBlack && At(s, x + 16, y + 1) == kBlack && At(s, x - 2, y - 17) == kBlack &&
               At(s, x + 17, y + 2) == kBlack;
    };
    for (int cursor : {-1, 14, 100, -2}) {
        W().turnCountry = cursor;
        const QImage& s = Draw();
        for (int i = 0; i < kCountryCount; ++i)
            EXPECT_FALSE(framed(s, i)) << "cursor " << cursor << ", country " << i;
    }
    for (int cursor : {0, 13}) {
        W().turnCountry = cursor;
        const QImage& s = Draw();
        for (int i = 0; i < kCountryCount; ++i)
            EXPECT_EQ(framed(s, i), i == cursor) << "cursor " << cursor << ", country " << i;
    }
}

TEST_F(ViewPanelTest, TheSevenCommandButtons)
{
    const struct {
        const char* caption;
        int id;
        QPushButton* CKivView::*member;
    } expected[] = {
        {"移動", 59397, &CKivView::moveButton},     {"戦争", 59398, &CKivView::warButton},
        {"開墾", 59399, &CKivView::landButton},     {"商業", 59400, &CKivView::commerceButton},
        {"徴兵", 59396, &CKivView::conscriptButton}, {"訓練", 59395, &CKivView::trainButton},
        {"休養", 59394, &CKivView::restButton},
    };
    // In the order they were made, left to right, 70 pixels apart over the map's foot.
    const QList<QPushButton*> made = view->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(made.size(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(expected[i].caption);
        QPushButton* b = made[i];
        EXPECT_EQ(b, view.get()->*expected[i].member);
        EXPECT_EQ(b->text(), QString::fromUtf8(expected[i].caption));
        EXPECT_EQ(b->property("commandId").toInt(), expected[i].id);
        EXPECT_EQ(b->geometry(), QRect(20 + 70 * i, 390, 60, 20));
        EXPECT_FALSE(b->isEnabled()) << "disabled until the player's first turn";
        EXPECT_FALSE(b->isHidden());
    }

    // Each domestic button runs its own command: its report names what it raised.
    LoadTestWorld();
    const struct {
        QPushButton* CKivView::*member;
        const char* report;
    } commands[] = {
        {&CKivView::landButton, "開墾が "},
        {&CKivView::commerceButton, "商業が "},
        {&CKivView::conscriptButton, "兵士が "},
        {&CKivView::trainButton, "訓練が "},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.report);
        W().countries[0].SetFunds(5000);
        W().countries[0].SetTraining(10);
        ReachTurn(0);
        QTest::mouseClick(view.get()->*command.member, Qt::LeftButton);
        EXPECT_TRUE(view->statusText.startsWith(QString::fromUtf8(command.report))) << view->statusText.toStdString();
        EXPECT_EQ(EnabledButtons(), 1);
    }
}

// Hovering tells why: the panel's provisions and funds say when the next harvest and
// taxes come and about what they bring; the advised command's button gives the reason
// of the advice's first line.
TEST_F(ViewPanelTest, ThePanelAndTheAdvisedButtonSayWhyOnHover)
{
    StartTurnOfCountry1();
    MapTips tips(*view);
    const QString provisions = tips.TextAt(QPoint(520, 270)); // the panel's 兵糧 row
    const QString funds = tips.TextAt(QPoint(520, 290));      // and 資金
    const SeasonalIncome harvest = NextHarvest(W(), 1), taxes = NextTaxes(W(), 1);
    ASSERT_GT(harvest.amount, 0);
    ASSERT_GT(taxes.amount, 0);
    for (const auto& [tip, income] : {std::pair{provisions, harvest}, std::pair{funds, taxes}}) {
        SCOPED_TRACE(tip.toStdString());
        EXPECT_TRUE(tip.contains(QString::number(income.amount)));
        EXPECT_TRUE(tip.contains(QString::number(income.year)));
        EXPECT_TRUE(tip.contains(QString::number(income.monthsAway)));
    }

    AdviceWindow advice(*view);
    advice.Ask();
    QTRY_VERIFY_WITH_TIMEOUT(view->AdvisedButton() != nullptr, 60000);
    const QString why = foresight_words::AdviceReason(W(), advice.Ranking(), 0, foresight::kDefaultHorizon);
    advice.Stop();
    ASSERT_FALSE(why.isEmpty());
    EXPECT_TRUE(view->AdvisedButton()->toolTip().contains(why)) << view->AdvisedButton()->toolTip().toStdString();
}

// The advice in words read at a glance: every line whole in a narrow window, each reason
// whole sentences, what the scores count against, and why no war is among the commands.
TEST_F(ViewPanelTest, TheAdviceSaysItsScaleItsReasonsWholeAndWhyNoWar)
{
    StartTurnOfCountry1();
    W().countries[1].SetProvisions(0); // fewer provisions than soldiers: no war
    const QString noWar = shown::Text(RefusalWords(WarBlock(W(), 1)));
    ASSERT_FALSE(noWar.isEmpty());
    AdviceWindow advice(*view);
    advice.Ask();
    QTRY_VERIFY_WITH_TIMEOUT(!advice.Ranking().empty() && advice.Ranking().front().trials > 0, 60000);
    advice.Stop();
    advice.resize(300, 500); // narrow: lines break, never cut
    QApplication::processEvents();
    auto* list = advice.findChild<QTreeWidget*>();
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        for (const QString& line : item->text(0).split(QLatin1Char('\n')))
            EXPECT_LE(list->fontMetrics().horizontalAdvance(line), list->header()->sectionSize(0)) << line.toStdString();
        if (item->childCount() > 0) {
            const QString reason = item->child(0)->text(0);
            EXPECT_TRUE(reason.endsWith(QStringLiteral("。"))) << reason.toStdString();
            EXPECT_FALSE(reason.contains(QStringLiteral(" 0%"))) << reason.toStdString();
        }
    }
    auto* scale = advice.findChild<QLabel*>(QStringLiteral("adviceScale"));
    ASSERT_NE(scale, nullptr);
    EXPECT_FALSE(scale->isHidden());
    EXPECT_TRUE(scale->text().contains(QString::number(foresight::CountriesOf(W(), 2)))) << scale->text().toStdString();
    EXPECT_TRUE(scale->text().contains(noWar)) << scale->text().toStdString();
}
