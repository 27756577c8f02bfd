// SPDX-License-Identifier: GPL-3.0-or-later
// ﾌｧｲﾙ → ﾈｯﾄﾜｰｸ対戦に参加: this screen plays one seat of a game hosted at another
// machine. The invitation the host sent is pasted in and kept in memory alone (never in
// the settings, the recent files, a log or the title). The game follows the host's
// record as at one screen; at the seat's turn "あなたの番です" covers the map as the
// hand-over notice does. A refusal says what differs; a connection lost leaves the
// game as it stands and offers to join again with the same invitation. Before the game
// begins a small window shows the host's lobby, where he says whether he is ready.
#pragma once

#include <QDialog>
#include <QObject>
#include <QMessageBox>
#include <QPointer>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/invitation.h"
#include "net/protocol.h"

class CKivView;
class CMainFrame;
class HandOverNotice;
class QAction;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace netgame {
class DesktopJoin;
}

// The invitation pasted in.
class NetworkJoinDialog : public QDialog {
    Q_OBJECT
public:
    explicit NetworkJoinDialog(QWidget* owner = nullptr);
    // The invitation, once it reads as one.
    std::optional<net::Invitation> Invitation() const;
    QLineEdit* Field() const { return m_text; }

private:
    QLineEdit* m_text;
    QLabel* m_hint;
    QPushButton* m_join;
};

// The host's lobby as a joined player sees it: each remote seat, whether its player is
// there and ready, his own marked, and his own 準備完了. Not modal; closing it only hides
// it (he stays in the lobby).
class LobbyWindow : public QDialog {
    Q_OBJECT
public:
    LobbyWindow(netgame::DesktopJoin& join, QWidget* owner = nullptr);
    // The lobby as the host last sent it.
    void ShowLobby();
    QCheckBox* ReadyBox() const { return m_ready; }
    // Whether a seat's player is there and ready, in the players' words.
    static QString SeatState(const net::LobbySeat& seat);

private:
    netgame::DesktopJoin& m_join;
    QGridLayout* m_seats;
    std::vector<QLabel*> m_names, m_states;
    QCheckBox* m_ready;
};

class NetworkJoin : public QObject {
    Q_OBJECT
public:
    NetworkJoin(CMainFrame& frame, CKivView& view, QAction* after);
    ~NetworkJoin() override;
    QAction* JoinAction() const { return m_joinAction; }
    // The game joined, if any.
    netgame::DesktopJoin* Joined() const { return m_join.get(); }
    // The offer to join again after the connection was lost, while it shows.
    QMessageBox* RejoinOffer() const { return m_rejoin; }
    // The notice at the seat's turn.
    HandOverNotice* Notice() const { return m_notice; }
    // The lobby's window, while the game joined has not begun.
    LobbyWindow* Lobby() const { return m_lobby; }

    void ChooseJoin();
    // Joins the game of invitation (ChooseJoin's end, and the tests').
    void JoinWith(const net::Invitation& invitation);
    // Why the host refused, in the player's words.
    static QString RefusalText(const net::Refused& refused, const std::string& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void Lost(const std::string& why);
    // The lobby's window shown as a lobby comes, closed as it ends.
    void LobbyChanged();
    // The turn described: the notice at the seat's turn.
    void AtTurn();

    CMainFrame& m_frame;
    CKivView& m_view;
    QAction* m_joinAction;
    QAction* m_lobbyAction; // ﾛﾋﾞｰを表示, while in a lobby
    HandOverNotice* m_notice;
    std::unique_ptr<netgame::DesktopJoin> m_join;
    std::string m_data;
    QPointer<QMessageBox> m_rejoin;
    QPointer<LobbyWindow> m_lobby;
    std::size_t m_noticedAt = 0; // the steps followed when the notice last showed (+1)
};
