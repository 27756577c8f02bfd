// SPDX-License-Identifier: GPL-3.0-or-later
// ﾌｧｲﾙ → ﾈｯﾄﾜｰｸ対戦: a game hosted at this screen for players at other machines. The
// scenario and the rulers are chosen as for ｹﾞｰﾑ開始, every ruler offered may be a
// person at this screen, a person at another machine (ﾈｯﾄﾜｰｸ) or the computer; then the
// port and whether other machines may reach it. Each remote seat's invitation is shown
// to be copied and sent to its player, and the game begins when every player has joined
// (or at once, the seats not taken played by the computer). Once the game has begun,
// 招待を表示 shows the invitations of the seats still played at other machines again.
#pragma once

#include <QDialog>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

#include "model/game_state.h"

class CKivView;
class CMainFrame;
class NetworkJoin;
class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace netgame {
class DesktopHost;
}

// The port and the reach of a hosted game.
class NetworkHostDialog : public QDialog {
    Q_OBJECT
public:
    explicit NetworkHostDialog(QWidget* owner = nullptr);
    quint16 Port() const;
    // Other machines may connect (else this machine alone: the loopback address).
    bool OpenToNetwork() const;
    // The seconds each remote seat's turn lasts at most (0: no limit).
    int TurnLimit() const;

private:
    QSpinBox* m_port;
    QSpinBox* m_limit;
    QCheckBox* m_open;
};

// The invitations of the remote seats, each to be copied, and who has joined: before the
// game begins, to begin it; once it has begun (begun), to be looked at and closed.
class InvitationsDialog : public QDialog {
    Q_OBJECT
public:
    struct Row {
        RulerId seat = 0;
        QString name;   // the ruler's name as the lists show it
        QString text;   // the invitation
        QString link;   // the host's page with the invitation (empty: the page is not served)
    };
    InvitationsDialog(std::vector<Row> rows, netgame::DesktopHost& host, bool begun, QWidget* owner = nullptr);
    // Started without waiting for every player.
    bool StartedAnyway() const { return m_anyway; }
    void ShowJoined();

private:
    std::vector<Row> m_rows;
    netgame::DesktopHost& m_host;
    std::vector<QLabel*> m_states;
    QPushButton* m_start = nullptr;
    bool m_anyway = false;
};

class NetworkGame : public QObject {
    Q_OBJECT
public:
    NetworkGame(CMainFrame& frame, CKivView& view);
    ~NetworkGame() override;
    QAction* HostAction() const { return m_hostAction; }
    // 招待を表示: shown while a game hosted here goes on.
    QAction* InvitationsAction() const { return m_invitationsAction; }
    // The game being hosted, if any.
    netgame::DesktopHost* Host() const { return m_host.get(); }
    // ﾈｯﾄﾜｰｸ対戦に参加: a game hosted at another machine.
    NetworkJoin* Join() const { return m_join; }

    void ChooseHost();
    // The invitations of the seats still played at other machines, again.
    void ShowInvitations();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    // The time left of a limited turn after the status line: at the host, while a remote
    // seat plays; in a joined window, at its own turn.
    void ShowTimeLeft();

    CMainFrame& m_frame;
    CKivView& m_view;
    QAction* m_hostAction;
    QAction* m_invitationsAction;
    NetworkJoin* m_join; // owned by the frame
    std::unique_ptr<netgame::DesktopHost> m_host;
    std::vector<InvitationsDialog::Row> m_rows; // the hosted game's invitations
    QTimer m_timeLeftTick; // while a networked game is played here
};
