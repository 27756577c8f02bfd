// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/network_join.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
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

NetworkJoin::NetworkJoin(CMainFrame& frame, CKivView& view, QAction* after)
    : QObject(&frame), m_frame(frame), m_view(view), m_notice(new HandOverNotice(&view))
{
    m_joinAction = new QAction(&frame);
    m_joinAction->setObjectName(QStringLiteral("networkJoinCommand"));
    QMenu* file = frame.FileMenu();
    const QList<QAction*> actions = file->actions();
    const qsizetype at = actions.indexOf(after);
    file->insertAction(at >= 0 && at + 1 < actions.size() ? actions[at + 1] : frame.FileMenuTail(), m_joinAction);
    connect(m_joinAction, &QAction::triggered, this, &NetworkJoin::ChooseJoin);
    connect(file, &QMenu::aboutToShow, this, [this] { m_joinAction->setEnabled(m_view.Game().CanStartGame()); });
    connect(&view.Game(), &GameController::turnDescribed, this, &NetworkJoin::AtTurn);
    connect(&view.Game(), &GameController::worldReplaced, this, [this] { m_notice->Dismiss(); });
    // Left while the game it follows is still there (the program ending takes it down).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_join.reset(); });
    frame.installEventFilter(this);
    Retranslate();
}

NetworkJoin::~NetworkJoin() = default;

bool NetworkJoin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void NetworkJoin::Retranslate() { m_joinAction->setText(tr("ﾈｯﾄﾜｰｸ対戦に参加(&J)...")); }

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
