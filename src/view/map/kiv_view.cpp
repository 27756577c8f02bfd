// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/kiv_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "platform/data_directory.h"
#include "platform/fonts.h"
#include "platform/key_time.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/window_scale.h"
#include "view/access/announcer.h"
#include "view/battle/battle_dlg.h"
#include "view/commands/command_table.h"
#include "view/map/game_document.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"

namespace {

constexpr int kMarkerResource = 132;

} // namespace

CKivView::CKivView(GameDocument& doc, GameController& game, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_game(game), m_files(new GameFiles(game, *this, [this] { return dataDirectory; })),
      m_announcer(new Announcer(*this, game, [this] {
          if (KeyChoice() >= 0)
              return KeyChoice();
          const int shown = marks.shownCountry;
          return GameState::IsCountryIndex(shown) ? shown : -1;
      }))
{
    setFixedSize(kMapWidth, kMapHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // each paint covers the whole surface
    setFocusPolicy(Qt::StrongFocus);        // the command keys reach the view
    m_game.SetWording(&shown::Text);
    // What the game shows waits until it has closed; the battle marks are stored from
    // the worker's thread.
    connect(&m_game, &GameController::statusChanged, this, [this] {
        SetStatus([this] { return shown::Text(m_game.StatusWords()); });
        update();
    });
    connect(&m_game, &GameController::message, this, qOverload<const QString&, int>(&CKivView::ShowMessage));
    connect(&m_game, &GameController::trouble, this, [this](const QString& text) { platform::ShowMessageBox(this, text); });
    connect(&m_game, &GameController::battleToShow, this,
            [this](BattleScript& script, bool& fought) { fought = RunBattleWindow(script); });
    connect(
        &m_game, &GameController::battleMarked, this,
        [this](int attacker, int target) {
            marks.battleAttacker = attacker;
            marks.battleTarget = target;
        },
        Qt::DirectConnection);
    connect(&m_game, &GameController::turnBegan, this, qOverload<>(&QWidget::update));
    connect(&m_game, &GameController::worldChanged, this, qOverload<>(&QWidget::update));
    connect(&m_game, &GameController::turnReached, this, &CKivView::OnPlayerTurn);
    // The buttons, their tooltips and the mode follow the turn's description.
    connect(&m_game, &GameController::turnDescribed, this, &CKivView::FollowTurn);
    connect(&m_game, &GameController::gameBegun, this, [this] { marks.Reset(); });
    connect(&m_game, &GameController::commandGiven, this, [this](const PlayerCommand& command) {
        // The panel shows the country a command went to, as the player's click did.
        if (const auto* move = std::get_if<command::Move>(&command))
            marks.shownCountry = move->to;
        else if (const auto* war = std::get_if<command::War>(&command))
            marks.shownCountry = war->target;
        update();
    });
}

CKivView::~CKivView() = default;

void CKivView::OnInitialUpdate()
{
    const QFont font = platform::Font(platform::GameFont::System);
    for (const CommandEntry& entry : CommandTable::Entries()) {
        auto* button = new QPushButton(CommandTable::Caption(entry), this);
        button->setProperty("commandId", entry.id);
        button->setFont(font);
        button->setGeometry(entry.x, CommandTable::kButtonY, CommandTable::kButtonWidth, CommandTable::kButtonHeight);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(false);
        button->installEventFilter(this); // the tooltip is worded when it is asked for
        connect(button, &QPushButton::clicked, this, [this, handler = entry.handler] {
            // A window waiting for an answer holds the game: a press that reaches a
            // button beneath it anyway (an assistive technology's action) gives nothing.
            if (!QApplication::activeModalWidget())
                (this->*handler)();
        });
        this->*entry.button = button;
    }
    UpdateCommandTips();
    setMouseTracking(true); // the odds of the target under the pointer

    markerBitmap = platform::LoadResourceImage(kMarkerResource);
    // The victory and game-over pictures are read when first shown, which spares
    // the start their decoding.
    dataDirectory = platform::DataDirectory();
    ScaleButtons();
}

void CKivView::SetZoom(qreal factor)
{
    m_zoom.SetFactor(factor);
    platform::SetWindowScale(m_zoom.Factor());
    setFixedSize(m_zoom.Scaled(QSize(kMapWidth, kMapHeight)));
    ScaleButtons();
    update();
}

void CKivView::ScaleButtons()
{
    // Each button keeps the place it was made at, on the map's own pixels.
    static const char* const kMapGeometry = "velcorMapGeometry";
    const QFont font = platform::Font(platform::GameFont::System, m_zoom.Factor());
    for (QPushButton* b : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (!b->property(kMapGeometry).isValid())
            b->setProperty(kMapGeometry, b->geometry());
        b->setGeometry(m_zoom.Scaled(b->property(kMapGeometry).toRect()));
        QFont own = font;
        own.setBold(b == m_advisedButton);
        b->setFont(own);
    }
}

void CKivView::SetAdvice(std::optional<TurnCommand> command, const QString& why)
{
    QPushButton* button = nullptr;
    for (const CommandEntry& entry : CommandTable::Entries())
        if (command && entry.command == *command)
            button = this->*entry.button;
    m_advisedWhy = button ? why : QString();
    const bool changed = button != m_advisedButton;
    m_advisedButton = button;
    UpdateCommandTips();
    if (changed)
        ScaleButtons();
}

void CKivView::SetWindowTimes(int messageMs, int battleStepMs)
{
    m_messageMsLimit = messageMs;
    m_battleStepMs = battleStepMs;
}

void CKivView::FollowTurn()
{
    const TurnDescription& turn = m_game.Turn();
    const ViewMode next = ViewModeOf(turn);
    if (next != mode) {
        mode = next;
        m_choice.Clear(); // a choosing mode starts without a country chosen
        if (!turn.AtPersonsTurn() && turn.stage != TurnStage::Battle)
            SetAdvice(std::nullopt); // the turn is over: the advice was for it
    }
    const auto& entries = CommandTable::Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        (this->*entries[i].button)->setEnabled(turn.Offered(entries[i].command));
    UpdateCommandTips();
    update();
}

void CKivView::EnableCommands()
{
    for (const CommandEntry& entry : CommandTable::Entries())
        (this->*entry.button)->setEnabled(true);
    UpdateCommandTips();
}

void CKivView::DisableCommands()
{
    for (const CommandEntry& entry : CommandTable::Entries())
        if (entry.group == CommandEntry::Action)
            (this->*entry.button)->setEnabled(false);
    UpdateCommandTips();
}

void CKivView::ShowMessage(const QString& text, int milliseconds)
{
    if (m_game.StopRequested())
        return; // the program is closing: nothing more is shown
    RefreshNow();
    CMessageWnd wnd;
    wnd.m_strText = text;
    const int paced = PacedMilliseconds(milliseconds, m_speed);
    wnd.m_nElapse = m_messageMsLimit > 0 ? std::min(paced, m_messageMsLimit) : paced;
    wnd.exec();
    KeysBack();
}

void CKivView::KeysBack()
{
    // A window of the game's that closes may leave no window of the program active
    // (a display with no window manager gives the focus to none), or be taken for
    // the active one until the display says otherwise: the keys come back to the map.
    const QWidget* active = QApplication::activeWindow();
    if ((!active || !active->isVisible()) && window()->isVisible())
        window()->activateWindow();
}

// ---- The turn ----

void CKivView::OnPlayerTurn(int country)
{
    marks.shownCountry = country;
    m_turnBegan = platform::KeyClockNow();
    m_choice.Clear();
    update();
}

void CKivView::ShowNotice(const QString& text, int milliseconds)
{
    const QString before = statusText;
    statusText = text;
    update();
    QTimer::singleShot(milliseconds, this, [this, text, before] {
        if (statusText == text) {
            statusText = before;
            update();
        }
    });
}

void CKivView::RefreshNow()
{
    // A window about to open covers the view: what it announces must already be
    // visible beneath it, not only after it has closed.
    if (isVisible())
        repaint();
}

void CKivView::OnRest() { m_game.Rest(); }

bool CKivView::RunBattleWindow(BattleScript& script)
{
    RefreshNow();
    CBattleDlg dlg(script);
    dlg.SetStepInterval(m_battleStepMs > 0 ? m_battleStepMs : PacedMilliseconds(BattleScript::kBattleStepMs, m_speed));
    dlg.exec();
    KeysBack();
    if (dlg.Abandoned())
        return false;
    m_announcer->BattleFought(script, dlg.Rounds());
    return true;
}

void CKivView::Shutdown()
{
    m_game.Stop();
    // Close every window the game has open so that the calls waiting on them return.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* battle = qobject_cast<CBattleDlg*>(w); battle && battle->isVisible())
            battle->Abandon();
        else if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
    }
}

// ---- The player's commands ----

void CKivView::DoDomestic(DomesticCommand what)
{
    const CommandResult outcome = m_game.Give(command::Domestic{what, GetWorld().turnCountry});
    if (outcome.refusal == CommandRefusal::NotNow || outcome.refusal == CommandRefusal::NotTurnCountry)
        return;
    marks.shownCountry = GetWorld().turnCountry.Get();
    update();
}

void CKivView::OnDevelopLand() { DoDomestic(DomesticCommand::DevelopLand); }
void CKivView::OnDevelopCommerce() { DoDomestic(DomesticCommand::DevelopCommerce); }
void CKivView::OnConscript() { DoDomestic(DomesticCommand::Conscript); }
void CKivView::OnTrain() { DoDomestic(DomesticCommand::Train); }

void CKivView::OnMove() { BeginChoice(TurnCommand::Move); }

void CKivView::OnWar() { BeginChoice(TurnCommand::War); }

void CKivView::BeginChoice(TurnCommand command)
{
    // The conductor refuses a choice outside a person's turn.
    const int shown = marks.shownCountry;
    RefreshNow();
    if (m_game.Conductor().BeginChoice(command))
        m_shownBeforeChoice = shown;
    update();
}

void CKivView::OnLButtonDown(QPoint point)
{
    if (mode == ViewMode::ComputerTurns || point.x() < 0 || point.x() >= kMapWidth || point.y() < 0 ||
        point.y() >= kMapHeight)
        return;
    PickCountry(m_doc.Map().CountryAt(point.x(), point.y()));
}

void CKivView::PickCountry(int country)
{
    if (country != MapPicture::kNoCountry)
        marks.shownCountry = country;
    update();
    switch (mode) {
    case ViewMode::ChooseMoveTarget:
        // The choice is made: from here on the map shows every country in its ruler's
        // colour again, beneath the windows that follow.
        m_game.Conductor().EndChoice();
        MoveToSelected();
        update();
        break;
    case ViewMode::ChooseAttackTarget:
        m_game.Conductor().EndChoice();
        AttackSelected();
        update();
        break;
    case ViewMode::Victory:
    case ViewMode::GameOver:
        m_game.Conductor().PutEndAway();
        update();
        break;
    default:
        break;
    }
}

void CKivView::OnRButtonDown(QPoint)
{
    if (mode != ViewMode::ChooseMoveTarget && mode != ViewMode::ChooseAttackTarget)
        return;
    // The panel as it was before the choice (the turn's country when that is unknown).
    marks.shownCountry = m_shownBeforeChoice >= 0 ? m_shownBeforeChoice : GetWorld().turnCountry.Get();
    m_shownBeforeChoice = -1;
    m_game.Conductor().CancelChoice();
    update();
}

bool CKivView::MoveToSelected()
{
    const int source = GetWorld().turnCountry;
    const int destination = marks.shownCountry;
    // May the army go there at all? (A move of nothing asks only that.)
    if (const CommandResult refused = m_game.Check(command::Move{source, destination});
        refused.refusal != CommandRefusal::None) {
        SetStatus(refused.words);
        ShowMessage(statusText, kResultMessageMs);
        return false;
    }
    const Country& s = GetWorld().countries[static_cast<std::size_t>(source)];
    CMoveDlg dlg;
    dlg.SetMaxProvisions(s.GetProvisions());
    dlg.SetMaxFunds(s.GetFunds());
    dlg.SetMaxSoldiers(s.GetSoldiers());
    dlg.m_strTitle = shown::Text(MoveTitleWords(GetWorld(), source, destination));
    const int chosen = dlg.exec();
    KeysBack();
    if (chosen != QDialog::Accepted) {
        m_game.SayTurnStatus();
        return false;
    }
    return m_game.Give(command::Move{source, destination, dlg.m_nSoldiers, dlg.m_nProvisions, dlg.m_nFunds}).done;
}

bool CKivView::AttackSelected()
{
    const CommandResult fought = m_game.Give(command::War{GetWorld().turnCountry, marks.shownCountry});
    return fought.abandoned || fought.done;
}

// ---- Words ----

void CKivView::SetStatus(const platform::Message& words)
{
    SetStatus([words] { return shown::Text(words); });
}

void CKivView::SetStatus(std::function<QString()> wording)
{
    m_statusWording = std::move(wording);
    statusText = m_statusWording();
    m_statusWorded = statusText;
}

void CKivView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        for (const CommandEntry& entry : CommandTable::Entries())
            (this->*entry.button)->setText(CommandTable::Caption(entry));
        // The status line follows when it still shows the rules' last words.
        if (m_statusWording && statusText == m_statusWorded)
            SetStatus(std::move(m_statusWording));
        UpdateCommandTips();
        // The end pictures have words of their own: read again in the new language.
        victoryBitmap = QImage();
        gameOverBitmap = QImage();
        update();
    }
    QWidget::changeEvent(event);
}

void CKivView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = ToMapPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(point);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(point);
    else
        QWidget::mousePressEvent(event);
}
