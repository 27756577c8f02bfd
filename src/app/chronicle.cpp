// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chronicle.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QMenu>

#include <algorithm>

#include "app/main_frame.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/windows.h"
#include "rules/events.h"
#include "view/windows/chronicle_log.h"
#include "view/windows/chronicle_wnd.h"
#include "view/commands/command_table.h"
#include "words/event_words.h"
#include "view/map/hand_over_notice.h"
#include "view/map/kiv_view.h"
#include "view/map/map_tips.h"
#include "view/windows/ruler_table.h"
#include "view/access/announcer.h"
#include "view/windows/turn_report_wnd.h"

namespace settings = platform::settings;

Chronicle::Chronicle(CMainFrame& frame, CKivView& view)
    : QObject(&frame), m_frame(frame), m_view(view), m_viewAlive(&view), m_log(new ChronicleLog(view.GetWorld(), this))
{
    m_report = new TurnReportWindow(&frame);
    m_tips = new MapTips(view);
    view.Game().Session().events.Add(&m_log->Observer());

    QMenu* menu = frame.ViewMenu();
    m_chronicleAction = menu->addAction(QString());
    m_chronicleAction->setShortcut(CommandTable::ChronicleKey());
    m_chronicleAction->setCheckable(true);
    m_namesAction = menu->addAction(QString());
    m_namesAction->setCheckable(true);
    m_namesAction->setChecked(settings::CountryNamesOnMap());
    m_reportAction = menu->addAction(QString());
    m_reportAction->setCheckable(true);
    m_reportAction->setChecked(settings::TurnReport());
    view.SetCountryNames(settings::CountryNamesOnMap());
    Retranslate();

    connect(m_chronicleAction, &QAction::triggered, this, [this](bool on) {
        if (on) {
            ShowWindow();
            m_window->activateWindow(); // opened by its command: the keys go with it
        } else if (m_window) {
            m_window->hide();
        }
    });
    connect(m_namesAction, &QAction::toggled, this, [this](bool on) {
        settings::SetCountryNamesOnMap(on);
        m_view.SetCountryNames(on);
    });
    connect(m_reportAction, &QAction::toggled, this, [this](bool on) {
        settings::SetTurnReport(on);
        if (!on)
            m_report->hide();
    });
    connect(m_report, &TurnReportWindow::showNextChanged, m_reportAction, &QAction::setChecked);
    connect(&view.Game(), &GameController::worldReplaced, this, &Chronicle::OnWorldReplaced);
    connect(&view.Game(), &GameController::gameSaved, this, &Chronicle::OnGameSaved);
    connect(&view.Files(), &GameFiles::randomSeedChanged, m_log, [this] { m_log->SetRandomSeed(m_view.Files().RandomSeed()); });
    connect(&view.Game(), &GameController::playerTurnReached, this, [this] {
        // The worker waits for the player now: the log may be cut.
        m_log->CutOldest();
        ShowNotices();
        ReportTurn();
    });
    connect(m_log, &ChronicleLog::oldestCut, this, [this](std::size_t count) {
        if (m_personMarks)
            for (std::size_t& mark : *m_personMarks)
                mark -= std::min(mark, count);
        m_notices.append(chronicle::Captions::ChronicleCut()
                             .arg(QLocale().toString(static_cast<qulonglong>(count)),
                                  QLocale().toString(static_cast<qulonglong>(m_log->Kept()))));
    });
    frame.installEventFilter(this);
}

Chronicle::~Chronicle()
{
    // The frame may have let the view and its game go first.
    if (m_viewAlive)
        m_view.Game().Session().events.Remove(&m_log->Observer());
    delete m_window;
}

ChronicleWindow& Chronicle::Window()
{
    // Made when first wanted, which spares the start its tabs and chart; it reads the
    // whole log when made.
    if (!m_window) {
        m_window = new ChronicleWindow(*m_log);
        m_window->addAction(m_chronicleAction); // F3 closes it from the window itself
        connect(m_window, &ChronicleWindow::visibilityChanged, m_chronicleAction, &QAction::setChecked);
        connect(m_window, &ChronicleWindow::resumeRequested, this, &Chronicle::resumeRequested);
        m_window->Standings()->SetPatterns(m_rulerPatterns);
    }
    return *m_window;
}

void Chronicle::SetRulerPatterns(bool on)
{
    m_rulerPatterns = on;
    if (m_window)
        m_window->Standings()->SetPatterns(on);
}

void Chronicle::ShowWindow()
{
    Window();
    if (!m_window->isVisible()) {
        const QByteArray geometry = settings::WindowGeometry(QString::fromLatin1(kWindowName));
        // Where the player left it, inside the screen; else where a tool window opens.
        if (!geometry.isEmpty() && m_window->restoreGeometry(geometry))
            platform::PlaceInside(m_window, m_window->pos(), platform::AvailableArea(&m_frame));
        else
            m_view.PlaceToolWindow(m_window);
    }
    m_window->show();
    m_window->raise();
}

void Chronicle::RestoreWindow()
{
    if (settings::WindowOpen(QString::fromLatin1(kWindowName)))
        ShowWindow();
}

QStringList Chronicle::ReportTurn()
{
    const auto [since, end] = m_log->TakeSinceMark();
    // A game nobody plays has nobody's turn to report: the chronicle window follows it.
    if (Players(m_view.GetWorld()).empty()) {
        m_report->hide();
        return {};
    }
    // When several people play, each reads what befell him since his own last turn.
    std::size_t first = since;
    RulerId reader = m_view.GetWorld().playerRuler;
    if (const RulerId person = TurnPerson(m_view.GetWorld(), m_view.Game().Session().TurnRuler())) {
        if (!m_personMarks)
            m_personMarks.emplace().fill(since);
        reader = person;
        first = std::min((*m_personMarks)[static_cast<std::size_t>(person)], end);
        (*m_personMarks)[static_cast<std::size_t>(person)] = end;
    }
    QStringList texts;
    for (std::size_t i = first; i < end; ++i) {
        const GameEvent& e = m_log->At(i);
        if (!IsTurnReportItem(e, reader))
            continue;
        // A capture is told by the battle reported just before it.
        const GameEvent* battle = i > 0 && e.kind == EventKind::Capture ? &m_log->At(i - 1) : nullptr;
        if (battle && battle->kind == EventKind::Battle && battle->target == e.country)
            texts.append(chronicle::EventText(m_view.GetWorld(), *battle));
        else
            texts.append(e.kind == EventKind::Capture ? chronicle::CaptureText(m_view.GetWorld(), e) : chronicle::EventText(m_view.GetWorld(), e));
    }
    const QStringList lines = chronicle::ReportLines(texts);
    // A screen reader hears what befell the player since his last turn, as outcomes.
    if (!texts.isEmpty())
        m_view.Announce().Say(chronicle::Captions::ReportTitle() + QCoreApplication::translate("chronicle", ": ") +
                              texts.join(QCoreApplication::translate("chronicle", "。")));
    const bool placed = m_report->isVisible();
    if (!m_reportAction->isChecked() || lines.isEmpty()) {
        m_report->hide();
        return m_reportAction->isChecked() ? lines : QStringList();
    }
    m_report->ShowReport(lines);
    // Where a tool window opens; a report already shown stays where it is, inside the
    // screen as it grows.
    if (placed)
        platform::PlaceInside(m_report, m_report->pos(), platform::AvailableArea(&m_frame));
    else
        m_view.PlaceToolWindow(m_report);
    return lines;
}

void Chronicle::OnWorldReplaced(const QString& savePath)
{
    m_report->hide();
    m_personMarks.reset();
    m_notices.clear();
    if (savePath.isEmpty()) {
        m_log->Clear();
        return;
    }
    // A chronicle that cannot be this game's is set aside: the game loads without it,
    // and the player reads why at his turn.
    QString error;
    if (!m_log->Load(ChronicleLog::ChroniclePath(savePath), &error) && !error.isEmpty())
        m_notices.append(chronicle::Captions::ChronicleSetAside().arg(error));
}

void Chronicle::ShowNotices()
{
    if (m_notices.isEmpty())
        return;
    m_view.ShowNotice(m_notices.join(QLatin1Char(' ')), kNoticeMs);
    m_notices.clear();
}

void Chronicle::OnGameSaved(const QString& path)
{
    m_log->Poll();
    const QString chroniclePath = ChronicleLog::ChroniclePath(path);
    QString error;
    if (!m_log->Save(chroniclePath, &error))
        platform::ShowMessageBox(&m_frame, chronicle::Captions::ChronicleSaveFailed().arg(chroniclePath, error));
}

void Chronicle::RememberWindow()
{
    if (m_remembered)
        return;
    m_remembered = true;
    const QString name = QString::fromLatin1(kWindowName);
    const bool open = m_window && m_window->isVisible();
    settings::SetWindowOpen(name, open);
    if (open)
        settings::SetWindowGeometry(name, m_window->saveGeometry());
}

bool Chronicle::eventFilter(QObject* watched, QEvent* event)
{
    // The main window closes: remember the chronicle window, then close it with it.
    if (watched == &m_frame && event->type() == QEvent::Close) {
        RememberWindow();
        if (m_window)
            m_window->close();
        m_report->close();
    }
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void Chronicle::Retranslate()
{
    m_chronicleAction->setText(tr("戦況記録(&C)"));
    m_namesAction->setText(tr("国名を表示"));
    m_reportAction->setText(tr("戦況報告を表示"));
}
