// SPDX-License-Identifier: GPL-3.0-or-later
// ﾌｧｲﾙ → ﾈｯﾄﾜｰｸ対戦に参加: this screen plays one seat of a game hosted at another
// machine. The invitation the host sent is pasted in and kept in memory alone (never in
// the settings, the recent files, a log or the title). The game follows the host's
// record as at one screen; at the seat's turn "あなたの番です" covers the map as the
// hand-over notice does. A refusal says what differs; a connection lost leaves the
// game as it stands and offers to join again with the same invitation.
#pragma once

#include <QDialog>
#include <QObject>
#include <QMessageBox>
#include <QPointer>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "net/invitation.h"
#include "net/protocol.h"

class CKivView;
class CMainFrame;
class HandOverNotice;
class QAction;
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
    // The turn described: the notice at the seat's turn.
    void AtTurn();

    CMainFrame& m_frame;
    CKivView& m_view;
    QAction* m_joinAction;
    HandOverNotice* m_notice;
    std::unique_ptr<netgame::DesktopJoin> m_join;
    std::string m_data;
    QPointer<QMessageBox> m_rejoin;
    std::size_t m_noticedAt = 0; // the steps followed when the notice last showed (+1)
};
