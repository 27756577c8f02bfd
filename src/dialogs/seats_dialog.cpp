// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/seats_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/windows.h"

namespace {
// Two columns of a name and its field, in rows of 16 units below the prompt.
constexpr int kColumnX[2] = {10, 142};
constexpr int kNameWidth = 44;
constexpr int kFieldWidth = 80;
constexpr int kFirstRowY = 22;
constexpr int kRowHeight = 16;
// The rows the list takes: the longer column's.
int Rows(std::size_t rulers) { return std::max(1, static_cast<int>((std::min<std::size_t>(rulers, kRulerSlotCount) + 1) / 2)); }
int CountY(std::size_t rulers) { return kFirstRowY + kRowHeight * Rows(rulers) + 4; }
int ButtonY(std::size_t rulers) { return CountY(rulers) + 16; }

const char* const kLevelNames[kDifficultyLevels] = {
    QT_TRANSLATE_NOOP("SeatsDialog", "COM 易しい"),
    QT_TRANSLATE_NOOP("SeatsDialog", "COM 普通"),
    QT_TRANSLATE_NOOP("SeatsDialog", "COM 難しい"),
    QT_TRANSLATE_NOOP("SeatsDialog", "COM 達人"),
};
} // namespace

SeatsDialog::SeatsDialog(std::vector<Offered> rulers, RulerId chosen, Difficulty level, QWidget* owner)
    : TemplateDialog(owner, tr("対戦設定"), 275, ButtonY(rulers.size()) + 21, platform::Font(platform::GameFont::Dialog)),
      m_rulers(std::move(rulers)), m_chosen(chosen), m_level(level)
{
    if (m_rulers.size() > static_cast<std::size_t>(kRulerSlotCount))
        m_rulers.resize(static_cast<std::size_t>(kRulerSlotCount));
    const int buttonY = ButtonY(m_rulers.size());
    QPushButton* ok = AddPushButton(tr("開始"), 218, buttonY, 50, 14, true);
    QPushButton* cancel = AddPushButton(tr("ｷｬﾝｾﾙ"), 158, buttonY, 50, 14);
    AddText(tr("君主ごとに、ﾌﾟﾚｲする人 (%1人まで) か COM の強さを選んでください").arg(kMostPersons), 10, 7, 255, 8);
    const int rows = Rows(m_rulers.size());
    for (std::size_t i = 0; i < m_rulers.size(); ++i) {
        const int x = kColumnX[static_cast<int>(i) / rows];
        const int y = kFirstRowY + kRowHeight * (static_cast<int>(i) % rows);
        AddText(m_rulers[i].name, x, y + 2, kNameWidth, 8);
        auto* field = new QComboBox(this);
        field->setObjectName(QStringLiteral("seat%1").arg(m_rulers[i].ruler));
        field->addItem(tr("ﾌﾟﾚｲﾔｰ"));
        for (const char* name : kLevelNames)
            field->addItem(tr(name));
        field->setCurrentIndex(m_rulers[i].ruler == chosen ? PersonPlace() : LevelPlace(level));
        Place(field, x + kNameWidth + 2, y, kFieldWidth, 12);
        connect(field, &QComboBox::currentIndexChanged, this, &SeatsDialog::ShowCount);
        m_fields.push_back(field);
    }
    m_count = AddText(QString(), 10, CountY(m_rulers.size()), 140, 8);
    m_count->setObjectName(QStringLiteral("count"));
    Recall();
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ShowCount();
    ok->setFocus();
}

// The word kept in the settings: a character for each ruler 1..15, 'p' a person, '0'
// up to '3' the computer at that level, '-' a ruler the dialog did not offer.
void SeatsDialog::Recall()
{
    const QString word = platform::settings::LastSeats();
    if (word.size() != kRulerCount - 1)
        return;
    auto place = [&](RulerId ruler) -> int {
        if (ruler < 1 || ruler >= kRulerCount)
            return -1;
        const QChar c = word.at(ruler - 1);
        if (c == QLatin1Char('p'))
            return PersonPlace();
        if (c >= QLatin1Char('0') && c < QLatin1Char(static_cast<char>('0' + kDifficultyLevels)))
            return LevelPlace(static_cast<Difficulty>(c.unicode() - '0'));
        return -1;
    };
    // A list the last choice does not touch keeps the ruler dialog's choice.
    if (std::none_of(m_rulers.begin(), m_rulers.end(), [&](const Offered& o) { return place(o.ruler) >= 0; }))
        return;
    for (std::size_t i = 0; i < m_rulers.size(); ++i) {
        const int recalled = place(m_rulers[i].ruler);
        m_fields[i]->setCurrentIndex(recalled >= 0 ? recalled : LevelPlace(m_level));
    }
}

void SeatsDialog::Remember() const
{
    QString word(kRulerCount - 1, QLatin1Char('-'));
    for (std::size_t i = 0; i < m_rulers.size(); ++i) {
        const int place = m_fields[i]->currentIndex();
        if (m_rulers[i].ruler >= 1 && m_rulers[i].ruler < kRulerCount)
            word[m_rulers[i].ruler - 1] = place == PersonPlace() ? QLatin1Char('p') : QLatin1Char(static_cast<char>('0' + place - 1));
    }
    platform::settings::SetLastSeats(word);
}

void SeatsDialog::showEvent(QShowEvent* event)
{
    TemplateDialog::showEvent(event);
    // Beside the ruler dialog, clear of its buttons, rather than over them.
    auto* owner = qobject_cast<QDialog*>(parentWidget());
    if (!owner || !owner->isVisible())
        return;
    QVector<QRect> buttons;
    for (const QPushButton* button : owner->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        if (button->isVisible())
            buttons.append(QRect(button->mapToGlobal(QPoint()), button->size()));
    platform::PlaceToolWindow(this, owner, buttons);
}

QString SeatsDialog::SeatName(const GameState& world, RulerId ruler)
{
    if (!GameState::IsRulerId(ruler) || ruler == 0)
        return {};
    return SeatName(world.seats[static_cast<std::size_t>(ruler)], world.difficulty);
}

QString SeatsDialog::SeatName(const Seat& seat, Difficulty difficulty)
{
    switch (seat.kind) {
    case SeatKind::Person:
        return tr("ﾌﾟﾚｲﾔｰ");
    case SeatKind::Advisor:
        return tr("助言");
    case SeatKind::Remote:
        return tr("ﾈｯﾄﾜｰｸ");
    case SeatKind::Computer:
        break;
    }
    return tr(kLevelNames[static_cast<std::size_t>(seat.level.value_or(difficulty))]);
}

int SeatsDialog::Persons() const
{
    return static_cast<int>(std::count_if(m_fields.begin(), m_fields.end(),
                                          [](const QComboBox* f) { return f->currentIndex() == PersonPlace(); }));
}

void SeatsDialog::ShowCount()
{
    const int persons = Persons();
    if (persons == 0)
        m_count->setText(tr("観戦: COM 同士の戦いを見ます"));
    else if (persons == 1)
        m_count->setText(tr("1人でﾌﾟﾚｲします"));
    else if (persons <= kMostPersons)
        m_count->setText(tr("%1人が交代でﾌﾟﾚｲします").arg(persons));
    else
        m_count->setText(tr("ﾌﾟﾚｲする人は%1人までです").arg(kMostPersons));
    FitStaticTexts();
}

void SeatsDialog::OfferRemoteSeats()
{
    m_remote = true;
    for (QComboBox* field : m_fields)
        field->addItem(tr("ﾈｯﾄﾜｰｸ"));
}

SeatChoice SeatsDialog::Choice() const
{
    SeatChoice choice;
    for (std::size_t i = 0; i < m_rulers.size(); ++i) {
        const RulerId ruler = m_rulers[i].ruler;
        if (!GameState::IsRulerId(ruler) || ruler == 0)
            continue;
        Seat& seat = choice.seats[static_cast<std::size_t>(ruler)];
        const int place = m_fields[i]->currentIndex();
        if (place == PersonPlace()) {
            seat = Seat::Person();
            // The ruler checked in the ruler dialog is the first when he plays; else
            // the first of the list who does.
            if (choice.first == 0 || ruler == m_chosen)
                choice.first = ruler;
        } else if (place == RemotePlace()) {
            seat = Seat::Remote();
        } else if (const auto level = static_cast<Difficulty>(place - 1); level != m_level) {
            seat.level = level;
        }
    }
    // Nobody plays: a save of the game still names a ruler.
    if (choice.first == 0)
        choice.first = m_chosen != 0 ? m_chosen : (m_rulers.empty() ? 0 : m_rulers.front().ruler);
    return choice;
}

void SeatsDialog::OnOK()
{
    if (Persons() > kMostPersons) {
        platform::ShowMessageBox(this, tr("ﾌﾟﾚｲする人は%1人までです").arg(kMostPersons));
        return;
    }
    if (!m_remote)
        Remember();
    accept();
}
