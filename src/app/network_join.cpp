// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/network_join.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <iostream>

#include "app/main_frame.h"
#include "dialogs/game_files.h"
#include "netgame/desktop_join.h"
#include "netgame/network_headless.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "view/map/game_document.h"
#include "view/map/hand_over_notice.h"
#include "view/map/kiv_view.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"

namespace {

// The first figures of a data hash: enough to tell two apart at a glance.
QString ShortHash(const std::string& hash) { return QString::fromStdString(hash.substr(0, 12)); }

} // namespace

NetworkJoinDialog::NetworkJoinDialog(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(tr("ﾈｯﾄﾜｰｸ対戦に参加"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("ﾎｽﾄから届いた招待を貼り付けてください(&I)"), this);
    layout->addWidget(label);
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(QStringLiteral("velcor://HOST:PORT#seat=R&key=..."));
    m_text->setMinimumWidth(520);
    label->setBuddy(m_text);
    layout->addWidget(m_text);
    m_hint = new QLabel(this);
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);
    auto* buttons = new QDialogButtonBox(this);
    m_join = buttons->addButton(tr("参加"), QDialogButtonBox::AcceptRole);
    m_join->setDefault(true);
    buttons->addButton(tr("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    const auto check = [this] {
        const bool good = Invitation().has_value();
        m_join->setEnabled(good);
        m_hint->setText(good || m_text->text().trimmed().isEmpty()
                            ? tr("招待には秘密の鍵が入っています: この画面のﾒﾓﾘにだけ置かれ、保存されません。")
                            : tr("招待の形ではありません (velcor://HOST:PORT#seat=R&key=...)"));
    };
    connect(m_text, &QLineEdit::textChanged, this, check);
    check();
    setMinimumWidth(600);
}

std::optional<net::Invitation> NetworkJoinDialog::Invitation() const
{
    return net::ParseInvitation(m_text->text().trimmed().toStdString());
}

LobbyWindow::LobbyWindow(netgame::DesktopJoin& join, QWidget* owner) : QDialog(owner), m_join(join)
{
    setWindowTitle(tr("ﾛﾋﾞｰ"));
    auto* layout = new QVBoxLayout(this);
    m_seats = new QGridLayout;
    m_seats->setHorizontalSpacing(24);
    layout->addLayout(m_seats);
    m_ready = new QCheckBox(tr("準備完了(&R)"), this);
    // What the host says he is: the box shows it as the lobby comes back.
    connect(m_ready, &QCheckBox::clicked, this, [this](bool ready) { m_join.SetReady(ready); });
    layout->addWidget(m_ready);
    layout->addWidget(new QLabel(tr("ﾎｽﾄが開始するのを待っています"), this));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("閉じる"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ShowLobby();
}

QString LobbyWindow::SeatState(const net::LobbySeat& seat)
{
    if (!seat.joined)
        return tr("参加を待っています");
    return seat.ready ? tr("準備完了") : tr("参加しました (準備中)");
}

void LobbyWindow::ShowLobby()
{
    const std::optional<net::Lobby>& lobby = m_join.Lobby();
    if (!lobby)
        return;
    const std::vector<net::LobbySeat>& seats = lobby->seats;
    while (m_names.size() < seats.size()) {
        const int row = static_cast<int>(m_names.size());
        m_names.push_back(new QLabel(this));
        m_states.push_back(new QLabel(this));
        m_seats->addWidget(m_names.back(), row, 0);
        m_seats->addWidget(m_states.back(), row, 1);
    }
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        m_names[i]->setVisible(i < seats.size());
        m_states[i]->setVisible(i < seats.size());
        if (i >= seats.size())
            continue;
        const net::LobbySeat& seat = seats[i];
        QString name = shown::RulerName(seat.seat);
        if (seat.seat == m_join.Seat()) {
            name = tr("%1 (あなた)").arg(name);
            const QSignalBlocker quiet(m_ready);
            m_ready->setChecked(seat.ready);
        }
        m_names[i]->setText(name);
        m_states[i]->setText(SeatState(seat));
        // A screen reader reads the seat's state with its ruler.
        m_states[i]->setAccessibleName(name + QStringLiteral(": ") + m_states[i]->text());
    }
}

NetworkJoin::NetworkJoin(CMainFrame& frame, CKivView& view, QAction* after)
    : QObject(&frame), m_frame(frame), m_view(view), m_notice(new HandOverNotice(&view))
{
    m_joinAction = new QAction(&frame);
    m_joinAction->setObjectName(QStringLiteral("networkJoinCommand"));
    QMenu* file = frame.FileMenu();
    const QList<QAction*> actions = file->actions();
    const qsizetype at = actions.indexOf(after);
    QAction* next = at >= 0 && at + 1 < actions.size() ? actions[at + 1] : frame.FileMenuTail();
    file->insertAction(next, m_joinAction);
    connect(m_joinAction, &QAction::triggered, this, &NetworkJoin::ChooseJoin);
    m_lobbyAction = new QAction(&frame);
    m_lobbyAction->setObjectName(QStringLiteral("lobbyCommand"));
    m_lobbyAction->setVisible(false);
    file->insertAction(next, m_lobbyAction);
    connect(m_lobbyAction, &QAction::triggered, this, [this] {
        if (!m_lobby)
            return;
        m_lobby->show();
        m_lobby->raise();
        m_lobby->activateWindow();
    });
    connect(file, &QMenu::aboutToShow, this, [this] {
        m_joinAction->setEnabled(m_view.Game().CanStartGame());
        m_lobbyAction->setVisible(m_lobby != nullptr);
    });
    connect(&view.Game(), &GameController::turnDescribed, this, &NetworkJoin::AtTurn);
    connect(&view.Game(), &GameController::worldReplaced, this, [this] { m_notice->Dismiss(); });
    // Left while the game it follows is still there (the program ending takes it down).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        delete m_lobby.data();
        m_join.reset();
    });
    frame.installEventFilter(this);
    Retranslate();
}

NetworkJoin::~NetworkJoin() { delete m_lobby.data(); }

bool NetworkJoin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void NetworkJoin::Retranslate()
{
    m_joinAction->setText(tr("ﾈｯﾄﾜｰｸ対戦に参加(&J)..."));
    m_lobbyAction->setText(tr("ﾛﾋﾞｰを表示(&B)..."));
}

void NetworkJoin::ChooseJoin()
{
    if (!m_view.Game().CanStartGame() || !m_view.Files().MayLeaveGame())
        return;
    NetworkJoinDialog dialog(&m_frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<net::Invitation> invitation = dialog.Invitation())
        JoinWith(*invitation);
}

void NetworkJoin::JoinWith(const net::Invitation& invitation)
{
    GameController& game = m_view.Game();
    delete m_lobby.data();
    m_join.reset();
    m_data = netgame::DataHash(platform::PathToBytes(m_view.dataDirectory));
    m_join = std::make_unique<netgame::DesktopJoin>(game, invitation, m_data, std::cerr);
    m_noticedAt = 0;
    m_join->refused = [this](const net::Refused& refused) {
        platform::ShowMessageBox(&m_frame, RefusalText(refused, m_data));
    };
    m_join->lost = [this](const std::string& why) { Lost(why); };
    m_join->failed = [this](const QString& words) {
        platform::ShowMessageBox(&m_frame, tr("ﾎｽﾄの記録をたどれなくなりました\n%1").arg(words));
    };
    m_join->ended = [this] { m_view.ShowNotice(tr("ﾎｽﾄがﾈｯﾄﾜｰｸ対戦を終えました"), 4000); };
    m_join->lobbyChanged = [this] { LobbyChanged(); };
    m_view.ShowNotice(tr("ﾎｽﾄに接続しています..."), 4000);
    m_join->Join();
}

QString NetworkJoin::RefusalText(const net::Refused& refused, const std::string& data)
{
    switch (refused.reason) {
    case net::Refusal::Version:
        return tr("ﾎｽﾄのﾈｯﾄﾜｰｸ対戦の版 (%1) が、このﾌﾟﾛｸﾞﾗﾑの版 (%2) と違います: 同じ版のﾌﾟﾛｸﾞﾗﾑで参加してください")
            .arg(refused.version)
            .arg(net::kProtocolVersion);
    case net::Refusal::Data:
        return tr("ﾎｽﾄのｼﾅﾘｵと国のﾃﾞｰﾀが、この画面のものと違います (ﾎｽﾄ %1…、この画面 %2…)")
            .arg(ShortHash(refused.data), ShortHash(data));
    case net::Refusal::Secret:
        return tr("招待が受け付けられませんでした: その席がないか、鍵が違います");
    case net::Refusal::Taken:
        return tr("その席にはほかのﾌﾟﾚｲﾔｰが参加しています");
    case net::Refusal::Revoked:
        return tr("ﾎｽﾄがこの招待を取り消しました");
    case net::Refusal::Replaced:
        return tr("同じ招待でほかの画面から参加したため、この画面の参加は終わりました");
    }
    return {};
}

void NetworkJoin::Lost(const std::string& why)
{
    if (!m_join)
        return;
    // Never seated: the host was not reached (or did not answer in time).
    if (!m_join->WasSeated()) {
        platform::ShowMessageBox(&m_frame,
                                 tr("ﾎｽﾄにつながりませんでした (%1)\n招待の宛先とﾎﾟｰﾄ、ﾎｽﾄが開いているかを確かめてください")
                                     .arg(QString::fromStdString(why)));
        return;
    }
    if (m_rejoin)
        return;
    // Not modal: the game stays as it stands while he decides.
    m_rejoin = new QMessageBox(QMessageBox::Warning, tr("ﾈｯﾄﾜｰｸ対戦"),
                               tr("ﾎｽﾄとの接続が切れました (%1)\n同じ招待でもう一度参加できます: ｹﾞｰﾑは記録から追いつきます")
                                   .arg(QString::fromStdString(why)),
                               QMessageBox::NoButton, &m_frame);
    m_rejoin->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* again = m_rejoin->addButton(tr("再参加"), QMessageBox::AcceptRole);
    m_rejoin->addButton(tr("やめる"), QMessageBox::RejectRole);
    m_rejoin->setDefaultButton(again);
    connect(m_rejoin, &QMessageBox::finished, this, [this, again] {
        const bool rejoin = m_rejoin && m_rejoin->clickedButton() == again;
        if (!m_join)
            return;
        if (rejoin)
            m_join->Join();
        else
            m_join->Leave();
    });
    m_rejoin->open();
}

void NetworkJoin::LobbyChanged()
{
    // The game begun, or the connection ended: the lobby's window goes by itself.
    if (!m_join || !m_join->Lobby()) {
        delete m_lobby.data();
        return;
    }
    if (!m_lobby) {
        m_lobby = new LobbyWindow(*m_join, &m_frame);
        m_lobby->show();
        m_lobby->activateWindow(); // the keys on 準備完了
    }
    m_lobby->ShowLobby();
}

void NetworkJoin::AtTurn()
{
    GameController& game = m_view.Game();
    const GameConductor& conductor = game.Conductor();
    if (!m_join || !conductor.JoinedTurn() || game.Phase() != TurnPhase::AwaitingCommand) {
        if (m_notice->Waiting() && !conductor.JoinedTurn())
            m_notice->Dismiss();
        return;
    }
    // Once for each of his turns.
    const std::size_t at = conductor.FollowedSteps() + 1;
    if (m_noticedAt == at)
        return;
    m_noticedAt = at;
    const RulerId seat = m_join->Seat();
    m_notice->Show(seat, shown::RulerName(seat), m_view.GetDocument().Map().Portrait(seat), tr("あなたの番です"));
}
