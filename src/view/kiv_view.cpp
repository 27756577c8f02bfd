// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/kiv_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <initializer_list>

#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "foresight/look_ahead_ruler.h"
#include "model/country_file.h"
#include "platform/data_directory.h"
#include "platform/file_dialog.h"
#include "platform/fonts.h"
#include "platform/key_time.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/random.h"
#include "platform/resources.h"
#include "platform/text_fit.h"
#include "platform/window_scale.h"
#include "platform/windows.h"
#include "rules/events.h"
#include "view/battle_dlg.h"
#include "view/command_table.h"
#include "view/foresight_words.h"
#include "view/game_document.h"
#include "view/hand_over_notice.h"
#include "view/map_labels.h"
#include "view/map_picture.h"
#include "view/shown_text.h"
#include "view/ruler_patterns.h"

namespace {

constexpr int kMarkerResource = 132;
constexpr int kVictoryResource = 163;
constexpr int kGameOverResource = 164;

const QColor kPanelGrey(192, 192, 192);

// The status line starts at x 400 inside its box (390..599); its text keeps a pixel
// clear of the box's white right edge.
constexpr int kStatusX = 400;
constexpr int kStatusWidth = 599 - 1 - kStatusX;
// The ruler's name from x 520 inside its box (500..579), the panel's labels from x 460
// a few pixels short of the figures at 500: a longer word is drawn narrower, not past them.
constexpr int kNameWidth = 579 - 1 - 520;
constexpr int kLabelX = 460;
constexpr int kLabelRight = 500 - 4;
constexpr int kLabelLeftmost = 452; // clear of the box's edge at 450
// The panel's rows of labels and figures, in the grey box from x 450 to 600.
constexpr int kPanelRowsTop = 180;
constexpr int kPanelRowHeight = 20;
constexpr int kPanelRows = 8;
// The plate of whose turn it is, left of the ruler's name (as wide as the status line's
// box reaches).
constexpr int kTurnPlateX = 390;


// Drawing in the platform's way: rectangles exclude their right and bottom edges, a
// polyline leaves out its last point. Only axis-parallel lines are needed.
class Canvas {
public:
    Canvas(QPainter& painter, std::vector<CKivView::DrawnText>* record)
        : m_p(painter), m_ascent(painter.fontMetrics().ascent()), m_record(record)
    {
        if (m_record)
            m_record->clear();
    }

    void Text(int x, int y, const QString& text)
    {
        m_p.drawText(x, y + m_ascent, text);
        if (m_record)
            m_record->push_back({QPoint(x, y), text});
    }

    // Text that must stay within width pixels: drawn whole, on the same line, in a
    // narrower or smaller face of the font when it would not fit as it is.
    void FittedText(int x, int y, int width, const QString& text)
    {
        const QFont normal = m_p.font();
        const platform::FittedText fitted = platform::FitText(normal, text, width);
        m_p.setFont(fitted.font);
        Text(x, y, fitted.text);
        m_p.setFont(normal);
    }

    void Polyline(std::initializer_list<QPoint> points, const QColor& colour)
    {
        const QPoint* a = nullptr;
        for (const QPoint& b : points) {
            if (a)
                Segment(*a, b, colour);
            a = &b;
        }
    }

    // Outline in black, filled inside.
    void Rectangle(int left, int top, int right, int bottom, const QColor& fill)
    {
        m_p.fillRect(left, top, right - left, bottom - top, fill);
        Polyline({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top - 1}},
                 Qt::black);
    }

private:
    // From a up to b, without b.
    void Segment(QPoint a, QPoint b, const QColor& colour)
    {
        if (a.y() == b.y()) {
            const int x0 = a.x() < b.x() ? a.x() : b.x() + 1;
            m_p.fillRect(x0, a.y(), std::abs(b.x() - a.x()), 1, colour);
        } else {
            const int y0 = a.y() < b.y() ? a.y() : b.y() + 1;
            m_p.fillRect(a.x(), y0, 1, std::abs(b.y() - a.y()), colour);
        }
    }

    QPainter& m_p;
    int m_ascent;
    std::vector<CKivView::DrawnText>* m_record;
};

} // namespace

CKivView::CKivView(GameDocument& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setFixedSize(kMapWidth, kMapHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // each paint covers the whole surface
    setFocusPolicy(Qt::StrongFocus);        // the command keys reach the view
    m_recorder.Attach(m_session);
    planner = &foresight::DefaultPlanner(); // for the computer rulers who look ahead (達人)
}

CKivView::~CKivView()
{
    if (m_session.Worker().Running()) {
        RequestStop();
        m_session.Worker().Join();
    }
}

void CKivView::OnInitialUpdate()
{
    platform::SeedFromClock(GetWorld().commandRandom, GetWorld().clock);
    const QFont font = platform::Font(platform::GameFont::System);
    for (const CommandEntry& entry : CommandTable::Entries()) {
        auto* button = new QPushButton(CommandTable::Caption(entry), this);
        button->setProperty("commandId", entry.id);
        button->setFont(font);
        button->setGeometry(entry.x, CommandTable::kButtonY, CommandTable::kButtonWidth, CommandTable::kButtonHeight);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(false);
        button->installEventFilter(this); // the tooltip is worded when it is asked for
        connect(button, &QPushButton::clicked, this, entry.handler);
        this->*entry.button = button;
    }
    connect(this, &CKivView::commandStateChanged, this, &CKivView::UpdateCommandTips);
    UpdateCommandTips();
    setMouseTracking(true); // the odds of the target under the pointer

    markerBitmap = platform::LoadResourceImage(kMarkerResource);
    // The victory and game-over pictures are read when first shown, which spares
    // the start their decoding.
    dataDirectory = platform::DataDirectory();
    ScaleButtons();
}

void CKivView::SetZoom(int factor)
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

void CKivView::SetAdvisedButton(QPushButton* button, const QString& why)
{
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

void CKivView::SetMode(ViewMode newMode)
{
    mode = newMode;
    m_choice.Clear(); // a choosing mode starts without a country chosen
    if (newMode != ViewMode::PlayerTurn && newMode != ViewMode::ChooseMoveTarget &&
        newMode != ViewMode::ChooseAttackTarget)
        SetAdvisedButton(nullptr); // the turn is over: the advice was for it
    emit commandStateChanged();
}

void CKivView::EnableCommands()
{
    for (const CommandEntry& entry : CommandTable::Entries())
        (this->*entry.button)->setEnabled(true);
    emit commandStateChanged();
}

void CKivView::DisableCommands()
{
    for (const CommandEntry& entry : CommandTable::Entries())
        if (entry.group == CommandEntry::Action)
            (this->*entry.button)->setEnabled(false);
    emit commandStateChanged();
}

void CKivView::ShowMessage(const QString& text, int milliseconds)
{
    if (StopRequested())
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

void CKivView::OnTurnBegin(int)
{
    update();
}

void CKivView::OnPlayerTurn(int country)
{
    m_turnBegan = platform::KeyClockNow();
    SetMode(ViewMode::PlayerTurn);
    const TurnPhase phase = m_session.Phase();
    if (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::Won) {
        EnableCommands();
        SetTurnStatus(country);
    }
    if (phase == TurnPhase::Lost) {
        SetStatus(kGameOverMessage);
        SetMode(ViewMode::GameOver);
        update();
        ShowMessage(shown::Text(kGameOverMessage), CMessageWnd::kDefaultMessageTime);
        emit gameEnded();
    } else if (phase == TurnPhase::Won) {
        ShowVictoryIfUnified(); // a game loaded already won
    }
    update();
    emit playerTurnReached();
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

bool CKivView::WorkerActive() const { return m_session.WorkerRunning() && !m_workerHandedOver; }

void CKivView::StartComputerPlay()
{
    // Joining a worker that still waits on this thread would never return.
    if (WorkerActive())
        return;
    // Whatever the player was doing, the commands are shut while the computer plays:
    // a button left enabled could start a second worker.
    DisableCommands();
    restButton->setEnabled(false);
    m_session.Worker().Join(); // the last worker has handed over; it ends at once
    m_workerHandedOver = false;
    // At his turn the player's rest is his command; a new or loaded game hands over to
    // the computer at once.
    const bool atTurn = m_session.Phase() != TurnPhase::ComputerTurns;
    const CommandResult rest = atTurn ? m_session.Apply(command::Rest{}) : CommandResult{};
    const bool started = atTurn ? rest.refusal == CommandRefusal::None : m_session.StartComputerTurns();
    if (!started) {
        // No thread for the computer: the game waits where it is, for another try.
        if (atTurn && m_session.Phase() == TurnPhase::AwaitingCommand)
            EnableCommands();
        restButton->setEnabled(atTurn);
        if (!atTurn || !rest.words.empty())
            platform::ShowMessageBox(this, shown::Text(GameSession::NoWorkerWords()));
        return;
    }
    SetMode(ViewMode::ComputerTurns);
}

void CKivView::OnRest()
{
    StartComputerPlay();
}

void CKivView::TurnBegin(int country)
{
    m_caller.Call([&] { OnTurnBegin(country); });
}

void CKivView::MarkBattle(int attacker, int target)
{
    marks.battleAttacker = attacker;
    marks.battleTarget = target;
}

void CKivView::PlayerTurn(int country)
{
    marks.shownCountry = country;
    m_caller.Call([&] {
        OnPlayerTurn(country);
        // The worker's last call: from here it only returns, so a new game may join it.
        m_workerHandedOver = true;
        emit commandStateChanged();
    });
}

void CKivView::ShowMessage(const platform::Message& words, int milliseconds)
{
    m_caller.Call([&] {
        // The computer's announcements replace the player's last result.
        SetStatus(words);
        ShowMessage(statusText, milliseconds);
    });
}

bool CKivView::Present(BattleScript& script)
{
    bool fought = false;
    if (!m_caller.Call([&] { fought = RunBattleWindow(script); }))
        return false;
    return fought && !StopRequested();
}

bool CKivView::RunBattleWindow(BattleScript& script)
{
    RefreshNow();
    CBattleDlg dlg(script);
    dlg.SetStepInterval(m_battleStepMs > 0 ? m_battleStepMs : PacedMilliseconds(BattleScript::kBattleStepMs, m_speed));
    dlg.exec();
    KeysBack();
    return !dlg.Abandoned();
}

void CKivView::OnStopRequested()
{
    m_caller.Cancel();
}

void CKivView::Shutdown()
{
    RequestStop();
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
    const CommandResult outcome = m_session.Apply(command::Domestic{what, GetWorld().turnCountry});
    if (outcome.refusal == CommandRefusal::NotNow || outcome.refusal == CommandRefusal::NotTurnCountry)
        return;
    SetStatus(outcome.words);
    if (outcome.done)
        DisableCommands();
    marks.shownCountry = GetWorld().turnCountry.Get();
    update();
}

void CKivView::OnDevelopLand() { DoDomestic(DomesticCommand::DevelopLand); }
void CKivView::OnDevelopCommerce() { DoDomestic(DomesticCommand::DevelopCommerce); }
void CKivView::OnConscript() { DoDomestic(DomesticCommand::Conscript); }
void CKivView::OnTrain() { DoDomestic(DomesticCommand::Train); }

void CKivView::OnMove()
{
    if (mode != ViewMode::PlayerTurn)
        return;
    m_shownBeforeChoice = marks.shownCountry;
    ShowMessage(shown::Text(kChooseMoveTarget), kPromptMessageMs);
    SetStatus(kChooseMoveTarget);
    SetMode(ViewMode::ChooseMoveTarget);
    DisableCommands();
    restButton->setEnabled(false);
    update();
}

void CKivView::OnWar()
{
    if (mode != ViewMode::PlayerTurn)
        return;
    // What the country lacks refuses the war here; the target is chosen next.
    if (const CommandBlock block = WarBlock(GetWorld(), GetWorld().turnCountry); IsShortage(block)) {
        SetStatus(RefusalWords(block));
        update();
        return;
    }
    m_shownBeforeChoice = marks.shownCountry;
    ShowMessage(shown::Text(kChooseAttackTarget), kPromptMessageMs);
    SetStatus(kChooseAttackTarget);
    SetMode(ViewMode::ChooseAttackTarget);
    DisableCommands();
    restButton->setEnabled(false);
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
        SetMode(ViewMode::PlayerTurn);
        if (MoveToSelected()) {
            DisableCommands();
            restButton->setEnabled(true);
        } else {
            EnableCommands();
        }
        update();
        break;
    case ViewMode::ChooseAttackTarget:
        SetMode(ViewMode::PlayerTurn);
        if (AttackSelected()) {
            DisableCommands();
            restButton->setEnabled(true);
        } else {
            EnableCommands();
        }
        if (StopRequested())
            break; // the program is closing
        ShowVictoryIfUnified();
        update();
        break;
    case ViewMode::Victory:
    case ViewMode::GameOver:
        SetMode(ViewMode::NoGame);
        update();
        break;
    default:
        break;
    }
    emit commandStateChanged();
}

void CKivView::ShowVictoryIfUnified()
{
    if (m_session.Phase() == TurnPhase::Won) {
        // The picture and the buttons of the end are in place under the message.
        SetStatus(kUnified);
        SetMode(ViewMode::Victory);
        restButton->setEnabled(false);
        ShowMessage(statusText, kResultMessageMs);
        emit gameEnded();
    }
}

void CKivView::OnRButtonDown(QPoint)
{
    if (mode != ViewMode::ChooseMoveTarget && mode != ViewMode::ChooseAttackTarget)
        return;
    SetMode(ViewMode::PlayerTurn);
    // The panel as it was before the choice (the turn's country when that is unknown).
    marks.shownCountry = m_shownBeforeChoice >= 0 ? m_shownBeforeChoice : GetWorld().turnCountry.Get();
    m_shownBeforeChoice = -1;
    SetTurnStatus(GetWorld().turnCountry);
    EnableCommands();
    update();
}

bool CKivView::MoveToSelected()
{
    const int source = GetWorld().turnCountry;
    const int destination = marks.shownCountry;
    // May the army go there at all? (A move of nothing asks only that.)
    if (const CommandResult refused = m_session.Check(command::Move{source, destination});
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
        SetTurnStatus(source);
        return false;
    }
    const CommandResult moved =
        m_session.Apply(command::Move{source, destination, dlg.m_nSoldiers, dlg.m_nProvisions, dlg.m_nFunds});
    SetStatus(moved.words);
    if (!moved.done)
        return false;
    ShowMessage(statusText, kResultMessageMs);
    return true;
}

bool CKivView::AttackSelected()
{
    const CommandResult fought = m_session.Apply(command::War{GetWorld().turnCountry, marks.shownCountry});
    if (fought.abandoned)
        return true; // the battle window was closed because the program is ending
    SetStatus(fought.words);
    ShowMessage(statusText, kResultMessageMs);
    return fought.done;
}

// ---- New game, save and load ----

void CKivView::GameBegun()
{
    marks.Reset();
    mode = ViewMode::NoGame;
}

bool CKivView::CanSave() const
{
    return mode != ViewMode::NoGame && mode != ViewMode::Victory && mode != ViewMode::GameOver;
}

int CKivView::SaveCursor() const { return m_session.SaveCursor(); }

bool CKivView::CanStartGame() const { return mode != ViewMode::ComputerTurns && !WorkerActive(); }

bool CKivView::LoadWorld(const QString& path, CountryFileUse use)
{
    const LoadOutcome loaded = m_session.ReadWorld(platform::PathToBytes(path), use);
    if (loaded.status == LoadStatus::Loaded)
        return true;
    platform::ShowMessageBox(this, shown::Text(loaded.words));
    return false;
}

void CKivView::OnNewGame()
{
    if (!CanStartGame())
        return;
    CScenarioDlg scenarioDlg;
    scenarioDlg.dataDirectory = dataDirectory;
    scenarioDlg.ownDirectory = platform::OwnScenarioFolder();
    if (scenarioDlg.exec() != QDialog::Accepted)
        return;
    // A bundled scenario's files are in the data folder; an own one's in its folder.
    const ScenarioEntry& chosen = scenarioDlg.Chosen();
    const QString directory = platform::PathFromBytes(chosen.directory);
    CRulerDlg rulerDlg;
    rulerDlg.m_strDataDir = directory;
    rulerDlg.m_nScenario = chosen.fileNumber - 1;
    rulerDlg.level = m_newGameDifficulty;
    if (rulerDlg.exec() != QDialog::Accepted)
        return;
    if (const std::optional<SeatChoice>& seats = rulerDlg.SeatsChosen())
        NewGame(chosen.fileNumber - 1, seats->seats, seats->first, directory);
    else
        NewGame(chosen.fileNumber - 1, rulerDlg.m_rulerIds[static_cast<std::size_t>(rulerDlg.m_nRuler)], directory);
}

void CKivView::OnSaveGame()
{
    if (!CanSave())
        return;
    const QString path = platform::GetSaveGamePath(this);
    if (path.isEmpty())
        return;
    std::string error;
    if (!m_session.SaveGame(platform::PathToBytes(path), SaveCursor(), &error)) {
        platform::ShowMessageBox(this, tr("セーブできませんでした\n%1\n%2")
                                           .arg(path, shown::Text(platform::Message(error.c_str()))));
        return;
    }
    emit gameSaved(path);
    platform::ShowMessageBox(this, tr("セーブが完了しました"));
}

void CKivView::OnLoadGame()
{
    if (!CanStartGame())
        return;
    const QString path = platform::GetOpenGamePath(this);
    if (!path.isEmpty())
        LoadGame(path);
}

bool CKivView::LoadGame(const QString& path)
{
    if (!CanStartGame() || !LoadWorld(path, CountryFileUse::SavedGame))
        return false;
    emit worldReplaced(path);
    m_session.BeginGame(true);
    GameBegun();
    statusText.clear();
    StartComputerPlay();
    return true;
}

bool CKivView::NewGame(int scenario, RulerId ruler, const QString& directory)
{
    Seats seats{};
    if (ruler > 0 && ruler < kRulerCount)
        seats[static_cast<std::size_t>(ruler)].kind = SeatKind::Person;
    return NewGame(scenario, seats, ruler, directory);
}

bool CKivView::NewGame(int scenario, const Seats& seats, RulerId first, const QString& directory)
{
    const QString folder = directory.isEmpty() ? dataDirectory : directory;
    if (!CanStartGame() ||
        !LoadWorld(platform::PathFromBytes(CountryFilePath(platform::PathToBytes(folder), scenario + 1)),
                   CountryFileUse::StartingWorld))
        return false;
    GetWorld().difficulty = m_newGameDifficulty;
    emit worldReplaced(QString());
    GetWorld().seats = seats;
    GetWorld().playerRuler = first;
    m_session.BeginGame(false);
    GameBegun();
    statusText.clear();
    StartComputerPlay();
    return true;
}

// ---- Words ----

QStringList CKivView::PanelLabels()
{
    return {tr("国名"), tr("人口"), tr("開墾"), tr("商業"), tr("兵糧"), tr("資金"), tr("兵士"), tr("訓練")};
}

int CKivView::PanelRowAt(QPoint p)
{
    if (p.x() < 450 || p.x() >= 600 || p.y() < kPanelRowsTop || p.y() >= kPanelRowsTop + kPanelRowHeight * kPanelRows)
        return -1;
    return (p.y() - kPanelRowsTop) / kPanelRowHeight;
}

void CKivView::SetStatus(const platform::Message& words)
{
    SetStatus([words] { return shown::Text(words); });
}

void CKivView::SetTurnStatus(int country)
{
    const platform::Message words = TurnStatusWords(GetWorld(), country);
    SetStatus([this, words] {
        const RulerId person = TurnPerson(GetWorld(), m_session.TurnRuler());
        return person ? tr("【%1】%2").arg(shown::RulerName(person), shown::Text(words)) : shown::Text(words);
    });
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
        update();
    }
    QWidget::changeEvent(event);
}

// ---- Drawing ----

const QImage& CKivView::Surface() const
{
    return m_zoom.Factor() > 1 ? m_zoom.Surface() : m_doc.Map().MapBitmap();
}

void CKivView::OnDraw()
{
    if (!PaintMap())
        return;
    if (m_zoom.Factor() == 1) {
        QPainter painter(&m_doc.Map().MapBitmap());
        DrawOnMap(painter);
        return;
    }
    // Magnified, the picture is enlarged pixel for pixel and everything else is drawn
    // on it under the same scale: lines stay square, text is drawn at the larger size.
    QPainter painter(&m_zoom.Compose(m_doc.Map().MapBitmap(), MapSignature()));
    painter.scale(m_zoom.Factor(), m_zoom.Factor());
    DrawOnMap(painter);
}

bool CKivView::PaintMap()
{
    if (!m_doc.Map().HasPictures())
        return false;
    const int turn = GetWorld().turnCountry;
    switch (mode) {
    case ViewMode::ChooseMoveTarget:
        m_doc.Map().PaintTargets(GetWorld(), turn, false);
        break;
    case ViewMode::ChooseAttackTarget:
        m_doc.Map().PaintTargets(GetWorld(), turn, true);
        break;
    default:
        m_doc.Map().PaintOwnership(GetWorld());
        break;
    }
    if (m_rulerPatterns)
        ruler_patterns::PaintOnMap(m_doc.Map(), GetWorld());
    return true;
}

QByteArray CKivView::MapSignature() const
{
    // The countries' colours decide the map; with the patterns, the rulers and the
    // number cells kept plain as well.
    QByteArray signature(reinterpret_cast<const char*>(m_doc.Map().PaintedColours().data()),
                         static_cast<qsizetype>(sizeof(m_doc.Map().PaintedColours())));
    if (m_rulerPatterns) {
        for (const Country& c : GetWorld().countries) {
            const std::int32_t values[] = {c.GetRuler(), c.GetMapX(), c.GetMapY()};
            signature.append(reinterpret_cast<const char*>(values), sizeof(values));
        }
    }
    signature.append(m_rulerPatterns ? 'p' : '-');
    return signature;
}

void CKivView::SetRulerPatterns(bool on)
{
    m_rulerPatterns = on;
    update();
}

void CKivView::DrawOnMap(QPainter& painter)
{
    const int turn = GetWorld().turnCountry;
    if (Choosing())
        m_choice.DrawOutline(painter, m_doc.Map());
    painter.setFont(platform::Font(platform::GameFont::System, 1));
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    Canvas s(painter, m_drawnTexts);
    auto cell = [this](int country) {
        // A file may place a marker anywhere a count can go; far off the map it is
        // simply not seen, and the frame's arithmetic stays within range.
        constexpr int kFarOff = 1 << 16;
        const Country& c = GetWorld().countries[static_cast<std::size_t>(country)];
        return QPoint(std::min(c.GetMapX(), kFarOff), std::min(c.GetMapY(), kFarOff));
    };

    DrawPaintedNames(painter, m_doc.Map().MapBitmap());
    if (m_overlay)
        m_overlay(painter);

    // Country numbers.
    for (int i = 0; i < kCountryCount; ++i)
        s.Text(cell(i).x(), cell(i).y() - 16, QString::number(i));

    // Frame around the number of the country whose turn it is.
    if (GameState::IsCountryIndex(turn)) {
        const int x = cell(turn).x();
        const int y = cell(turn).y();
        s.Polyline({{x - 1, y - 16}, {x + 16, y - 16}, {x + 16, y + 1}, {x - 1, y + 1}, {x - 1, y - 16}}, Qt::black);
        s.Polyline({{x - 2, y - 17}, {x + 17, y - 17}, {x + 17, y + 2}, {x - 2, y + 2}, {x - 2, y - 17}}, Qt::black);
    }

    if (m_countryNames)
        DrawCountryNames(painter, GetWorld());

    // Markers on both sides of a battle between computer rulers.
    const int attacker = marks.battleAttacker;
    const int target = marks.battleTarget;
    if (attacker != -1) {
        for (int country : {attacker, target}) {
            if (GameState::IsCountryIndex(country))
                painter.drawImage(cell(country).x(), cell(country).y() - 16, markerBitmap);
        }
    }

    // Panel: portrait frames, then the grey boxes with their white lower right edges.
    s.Rectangle(496, 6, 584, 114, Qt::white);
    s.Rectangle(498, 8, 582, 112, Qt::white);
    s.Rectangle(500, 117, 580, 140, kPanelGrey);
    s.Rectangle(450, 145, 600, 168, kPanelGrey);
    s.Rectangle(450, 170, 600, 350, kPanelGrey);
    s.Rectangle(390, 355, 600, 378, kPanelGrey);
    s.Polyline({{500, 139}, {579, 139}, {579, 117}}, Qt::white);
    s.Polyline({{450, 167}, {599, 167}, {599, 145}}, Qt::white);
    s.Polyline({{450, 349}, {599, 349}, {599, 170}}, Qt::white);
    s.Polyline({{390, 377}, {599, 377}, {599, 355}}, Qt::white);

    const int shown = marks.shownCountry;
    const bool showCountry = GameState::IsCountryIndex(shown);
    if (showCountry) {
        const RulerId ruler = GetWorld().countries[static_cast<std::size_t>(shown)].GetRuler();
        painter.drawImage(500, 10, m_doc.Map().Portrait(ruler));
        if (ruler >= 0 && ruler < kRulerCount)
            s.FittedText(520, 120, kNameWidth, shown::RulerName(ruler));
    }

    // Whose turn it is, when several people play: a plate beside the ruler's name.
    if (const RulerId person = TurnPerson(GetWorld(), m_session.TurnRuler())) {
        s.Rectangle(kTurnPlateX, 117, 494, 140, kPanelGrey);
        s.Polyline({{kTurnPlateX, 139}, {493, 139}, {493, 117}}, Qt::white);
        s.FittedText(kTurnPlateX + 5, 120, 494 - 1 - 5 - (kTurnPlateX + 5), tr("%1の番").arg(shown::RulerName(person)));
    }

    s.Text(480, 148, tr("%1 年 %2 月").arg(GetWorld().year.Get()).arg(GetWorld().month.Get()));

    // The labels from x 460, or further left (to the box's edge) when a word of the
    // language in use needs it, so that each is written whole in the panel's face.
    const QStringList labels = PanelLabels();
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, painter.fontMetrics().horizontalAdvance(label));
    const int labelX = std::clamp(kLabelRight - widest, kLabelLeftmost, kLabelX);
    for (int row = 0; row < kPanelRows; ++row)
        s.FittedText(labelX, kPanelRowsTop + kPanelRowHeight * row, kLabelRight - labelX, labels[row]);

    if (showCountry) {
        const Country& c = GetWorld().countries[static_cast<std::size_t>(shown)];
        s.Text(500, kPanelRowsTop, QStringLiteral("%1 %2").arg(shown).arg(shown::CountryName(GetWorld(), shown)));
        const std::int32_t figures[] = {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                                        c.GetFunds(),      c.GetSoldiers(),    c.GetTraining()};
        for (int row = 1; row < kPanelRows; ++row)
            s.Text(500, kPanelRowsTop + kPanelRowHeight * row, QString::number(figures[row - 1]));
    }

    s.FittedText(kStatusX, 358, kStatusWidth, statusText);

    if (mode == ViewMode::ChooseAttackTarget && m_choice.Country() >= 0)
        TargetChoice::DrawHint(painter, foresight_words::OddsLine(m_odds), platform::Font(platform::GameFont::System, 1));
    else if (Choosing())
        TargetChoice::DrawHint(painter, CommandTable::ChoosingHint());

    if (mode == ViewMode::Victory) {
        if (victoryBitmap.isNull())
            victoryBitmap = platform::LoadResourceImage(kVictoryResource);
        painter.drawImage(158, 100, victoryBitmap);
    } else if (mode == ViewMode::GameOver) {
        if (gameOverBitmap.isNull())
            gameOverBitmap = platform::LoadResourceImage(kGameOverResource);
        painter.drawImage(158, 100, gameOverBitmap);
    }
}

void CKivView::paintEvent(QPaintEvent*)
{
    QPainter window(this);
    if (m_zoom.Factor() == 1) {
        OnDraw();
        if (m_doc.Map().HasPictures())
            window.drawImage(0, 0, Surface());
        else
            window.fillRect(rect(), Qt::white);
        return;
    }
    // Magnified, the window's own off-screen buffer is the surface: the enlarged map
    // goes there in one copy and the rest is drawn on it, which spares a second pass
    // over the large picture.
    if (!PaintMap()) {
        window.fillRect(rect(), Qt::white);
        return;
    }
    window.drawImage(0, 0, m_zoom.Enlarged(m_doc.Map().MapBitmap(), MapSignature()));
    window.scale(m_zoom.Factor(), m_zoom.Factor());
    DrawOnMap(window);
}

QPoint CKivView::ToMapPoint(QPoint widgetPoint) const { return m_zoom.ToMap(widgetPoint); }

QVector<QRect> CKivView::ControlRects() const
{
    // The panel from the status line's box to the right edge, the buttons' strip.
    const QRect panel(kStatusX - 10, 0, kMapWidth - (kStatusX - 10), 380);
    const QRect buttons(0, CommandTable::kButtonY - 4, kMapWidth, CommandTable::kButtonHeight + 8);
    QVector<QRect> rects;
    for (const QRect& r : {panel, buttons}) {
        const QRect scaled = m_zoom.Scaled(r);
        rects.append(QRect(mapToGlobal(scaled.topLeft()), scaled.size()));
    }
    return rects;
}

void CKivView::PlaceToolWindow(QWidget* window) const { platform::PlaceToolWindow(window, this->window(), ControlRects()); }

void CKivView::SetCountryNames(bool on)
{
    m_countryNames = on;
    update();
}

void CKivView::SetMapOverlay(std::function<void(QPainter&)> draw)
{
    m_overlay = std::move(draw);
    update();
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

// ---- Keys and tooltips ----

bool CKivView::Choosing() const
{
    return mode == ViewMode::ChooseMoveTarget || mode == ViewMode::ChooseAttackTarget;
}

bool CKivView::OnKey(int key, Qt::KeyboardModifiers modifiers, bool repeated)
{
    if (!IsViewKey(key, modifiers))
        return false;
    if (Choosing()) {
        switch (key) {
        case Qt::Key_Escape:
            OnRButtonDown(QPoint());
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Right:
        case Qt::Key_Down:
            StepChoice(1);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Up:
            StepChoice(-1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!repeated && m_choice.Country() != -1)
                PickCountry(m_choice.Country());
            return true;
        default:
            break;
        }
    }
    const CommandEntry* entry = CommandTable::ForKey(key);
    if (!entry)
        return false;
    // The key is the button: it acts only when the button would.
    QPushButton* button = this->*entry->button;
    if (!repeated && button->isEnabled())
        button->click();
    return true;
}

void CKivView::StepChoice(int direction)
{
    const int turn = GetWorld().turnCountry;
    const bool moving = mode == ViewMode::ChooseMoveTarget;
    const int country = m_choice.Step(moving ? MoveTargets(GetWorld(), turn) : AttackTargets(GetWorld(), turn), direction);
    if (country == -1) {
        SetStatus([moving] {
            return CommandTable::BlockText(moving ? CommandBlock::NoMoveTarget : CommandBlock::NoAttackTarget);
        });
    } else {
        // The panel shows the country chosen, as a click on it would.
        marks.shownCountry = country;
        if (moving)
            SetStatus([this, country] {
                return tr("%1 %2 へ移動 (Enter)").arg(country).arg(shown::CountryName(GetWorld(), country));
            });
        else
            ShowWarOdds(country);
    }
    update();
}

void CKivView::ShowWarOdds(int target)
{
    // One choice, wherever it came from: the outline, the panel, the status line and
    // the odds all show it.
    m_choice.Choose(target);
    marks.shownCountry = target;
    const int from = GetWorld().turnCountry;
    m_odds = foresight_words::WarOdds(GetWorld(), from, target);
    SetStatus([this, target] { return foresight_words::WarChoiceLine(GetWorld(), target); });
}

void CKivView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (mode != ViewMode::ChooseAttackTarget || !m_doc.Map().HasPictures())
        return;
    // The pointer over a target chooses it, as the keys do; elsewhere the choice stays.
    const QPoint p = ToMapPoint(event->position().toPoint());
    const int country = m_doc.Map().CountryAt(p.x(), p.y());
    const std::vector<int> targets = AttackTargets(GetWorld(), GetWorld().turnCountry);
    if (country == m_choice.Country() || std::find(targets.begin(), targets.end(), country) == targets.end())
        return;
    ShowWarOdds(country);
    update();
}

void CKivView::keyPressEvent(QKeyEvent* event)
{
    if (!TakeKey(event))
        QWidget::keyPressEvent(event);
}

bool CKivView::TakeKey(QKeyEvent* event)
{
    if (!IsViewKey(event->key(), event->modifiers()))
        return false;
    // A key typed ahead while the computer played, or held down through its turns,
    // belongs to no turn of the player's: it must not end or spend the one just begun.
    const bool repeated = event->isAutoRepeat() || platform::PressedBefore(event->timestamp(), m_turnBegan);
    // The map takes the keys again (a menu bar left in its keyboard mode lets them go).
    if (QApplication::focusWidget() != this && window()->isActiveWindow())
        setFocus(Qt::OtherFocusReason);
    event->accept();
    OnKey(event->key(), event->modifiers(), repeated);
    return true;
}

bool CKivView::IsViewKey(int key, Qt::KeyboardModifiers modifiers) const
{
    modifiers &= ~Qt::KeypadModifier;
    if (key == Qt::Key_Backtab)
        modifiers &= ~Qt::ShiftModifier; // Shift+Tab
    if (modifiers != Qt::NoModifier)
        return false;
    if (Choosing()) {
        for (int k : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left,
                      Qt::Key_Up, Qt::Key_Return, Qt::Key_Enter})
            if (key == k)
                return true;
    }
    return CommandTable::ForKey(key) != nullptr;
}

bool CKivView::focusNextPrevChild(bool next)
{
    // In a choosing mode Tab steps through the targets instead.
    if (Choosing())
        return false;
    return QWidget::focusNextPrevChild(next);
}

bool CKivView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && qobject_cast<QPushButton*>(watched))
        UpdateCommandTips(); // the figures may have changed since the last command
    return QWidget::eventFilter(watched, event);
}

void CKivView::UpdateCommandTips()
{
    for (const CommandEntry& entry : CommandTable::Entries()) {
        QPushButton* button = this->*entry.button;
        if (!button)
            continue;
        QString tip = CommandTable::Tooltip(entry, {mode, button->isEnabled(), GetWorld().turnCountry, &GetWorld()});
        if (button == m_advisedButton && !m_advisedWhy.isEmpty())
            tip += QLatin1Char('\n') + tr("助言: %1").arg(m_advisedWhy);
        button->setToolTip(tip);
    }
}
