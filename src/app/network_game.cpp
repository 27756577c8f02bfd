// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/network_game.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <iostream>

#include "app/main_frame.h"
#include "app/network_join.h"
#include "dialogs/game_files.h"
#include "dialogs/ruler_dlg.h"
#include "net/invitation.h"
#include "net/protocol.h"
#include "netgame/desktop_host.h"
#include "netgame/desktop_join.h"
#include "netgame/network_headless.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

namespace {

constexpr int kDefaultPort = 47470;

} // namespace

NetworkHostDialog::NetworkHostDialog(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(tr("ﾈｯﾄﾜｰｸ対戦"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* portLabel = new QLabel(tr("ﾎﾟｰﾄ(&P)"), this);
    m_port = new QSpinBox(this);
    m_port->setRange(1024, 65535);
    m_port->setValue(kDefaultPort);
    portLabel->setBuddy(m_port);
    row->addWidget(portLabel);
    row->addWidget(m_port);
    row->addStretch();
    layout->addLayout(row);
    m_open = new QCheckBox(tr("ほかのﾏｼﾝから参加できるようにする(&O)"), this);
    layout->addWidget(m_open);
    auto* warning = new QLabel(tr("切っていると、このﾏｼﾝからだけ参加できます。ws:// の通信は暗号化されません: "
                                  "同じﾈｯﾄﾜｰｸのほかの人に読まれることがあります。"),
                               this);
    warning->setWordWrap(true);
    layout->addWidget(warning);
    auto* limitRow = new QHBoxLayout;
    auto* limitLabel = new QLabel(tr("手番の制限時間(&T)"), this);
    m_limit = new QSpinBox(this);
    m_limit->setRange(0, static_cast<int>(net::kMostTurnSeconds));
    m_limit->setSingleStep(30);
    m_limit->setValue(0);
    m_limit->setSpecialValueText(tr("なし"));
    m_limit->setSuffix(tr(" 秒"));
    m_limit->setToolTip(tr("ﾈｯﾄﾜｰｸの席の手番がこの時間を過ぎると、ﾎｽﾄがその席を休養させます"));
    limitLabel->setBuddy(m_limit);
    limitRow->addWidget(limitLabel);
    limitRow->addWidget(m_limit);
    limitRow->addStretch();
    layout->addLayout(limitRow);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("開く"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

quint16 NetworkHostDialog::Port() const { return static_cast<quint16>(m_port->value()); }

bool NetworkHostDialog::OpenToNetwork() const { return m_open->isChecked(); }

int NetworkHostDialog::TurnLimit() const { return m_limit->value(); }

InvitationsDialog::InvitationsDialog(std::vector<Row> rows, netgame::DesktopHost& host, bool begun, QWidget* owner)
    : QDialog(owner), m_rows(std::move(rows)), m_host(host)
{
    setWindowTitle(tr("招待"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("それぞれの招待をその君主のﾌﾟﾚｲﾔｰに送ってください。"
                                "招待には秘密の鍵が入っています: ほかの人には見せないでください。"),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* grid = new QGridLayout;
    const bool links = !m_rows.empty() && !m_rows.front().link.isEmpty();
    // A read-only field with its copy button.
    const auto copied = [this, grid](const QString& text, int row, const QString& name, const QString& copyName) {
        auto* field = new QLineEdit(text, this);
        field->setReadOnly(true);
        field->setMinimumWidth(520);
        field->setAccessibleName(name);
        grid->addWidget(field, row, 1);
        auto* copy = new QPushButton(tr("ｺﾋﾟｰ"), this);
        copy->setAccessibleName(copyName);
        connect(copy, &QPushButton::clicked, this, [field] { QGuiApplication::clipboard()->setText(field->text()); });
        grid->addWidget(copy, row, 2);
    };
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const int r = static_cast<int>(i) * (links ? 2 : 1);
        grid->addWidget(new QLabel(m_rows[i].name, this), r, 0);
        copied(m_rows[i].text, r, tr("%1 の招待").arg(m_rows[i].name), tr("%1 の招待をｺﾋﾟｰ").arg(m_rows[i].name));
        if (links)
            copied(m_rows[i].link, r + 1, tr("%1 のﾌﾞﾗｳｻﾞ用ﾘﾝｸ").arg(m_rows[i].name),
                   tr("%1 のﾌﾞﾗｳｻﾞ用ﾘﾝｸをｺﾋﾟｰ").arg(m_rows[i].name));
        auto* state = new QLabel(this);
        grid->addWidget(state, r, 3);
        m_states.push_back(state);
    }
    layout->addLayout(grid);
    auto* page = new QLabel(links ? tr("ﾌﾞﾗｳｻﾞ用ﾘﾝｸを開くと、ﾌﾞﾗｳｻﾞでその席に参加できます (ｽﾏｰﾄﾌｫﾝでも)。")
                                  : tr("ﾍﾟｰｼﾞのﾌｧｲﾙがないため、ﾌﾞﾗｳｻﾞからは参加できません: ﾌﾟﾛｸﾞﾗﾑで参加してください。"),
                            this);
    page->setWordWrap(true);
    layout->addWidget(page);
    auto* buttons = new QDialogButtonBox(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (begun) {
        buttons->addButton(tr("閉じる"), QDialogButtonBox::RejectRole)->setDefault(true);
        ShowJoined();
        return;
    }
    m_start = buttons->addButton(tr("開始"), QDialogButtonBox::AcceptRole);
    QPushButton* anyway = buttons->addButton(tr("待たずに開始"), QDialogButtonBox::ActionRole);
    anyway->setToolTip(tr("まだ参加していない席は COM がﾌﾟﾚｲします"));
    m_start->setToolTip(tr("すべての席のﾌﾟﾚｲﾔｰが準備完了になると開始できます"));
    buttons->addButton(tr("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(anyway, &QPushButton::clicked, this, [this] {
        m_anyway = true;
        accept();
    });
    ShowJoined();
}

void InvitationsDialog::ShowJoined()
{
    const netgame::NetworkHost& host = m_host.Host();
    const net::Lobby lobby = host.LobbyNow();
    const std::vector<int>& joined = host.Joined();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RulerId seat = m_rows[i].seat;
        const auto at = std::find_if(lobby.seats.begin(), lobby.seats.end(),
                                     [seat](const net::LobbySeat& s) { return s.seat == seat; });
        // Before the game, whether each player is there and ready; once it has begun,
        // whether he has joined.
        QString state = LobbyWindow::SeatState(at != lobby.seats.end() && host.InLobby() ? *at : net::LobbySeat{seat});
        if (!host.InLobby() && std::find(joined.begin(), joined.end(), seat) != joined.end())
            state = tr("参加しました");
        m_states[i]->setText(state);
    }
    if (m_start)
        m_start->setEnabled(host.AllReady());
}

NetworkGame::NetworkGame(CMainFrame& frame, CKivView& view) : QObject(&frame), m_frame(frame), m_view(view)
{
    m_hostAction = new QAction(&frame);
    m_hostAction->setObjectName(QStringLiteral("networkGameCommand"));
    // After ｹﾞｰﾑ開始.
    QMenu* file = frame.FileMenu();
    const QList<QAction*> actions = file->actions();
    file->insertAction(actions.size() > 1 ? actions[1] : frame.FileMenuTail(), m_hostAction);
    connect(m_hostAction, &QAction::triggered, this, &NetworkGame::ChooseHost);
    connect(file, &QMenu::aboutToShow, this, [this] { m_hostAction->setEnabled(m_view.Game().CanStartGame()); });
    m_join = new NetworkJoin(frame, view, m_hostAction);
    m_invitationsAction = new QAction(&frame);
    m_invitationsAction->setObjectName(QStringLiteral("invitationsCommand"));
    m_invitationsAction->setVisible(false);
    const QList<QAction*> after = file->actions();
    const qsizetype join = after.indexOf(m_join->JoinAction());
    file->insertAction(join >= 0 && join + 1 < after.size() ? after[join + 1] : frame.FileMenuTail(), m_invitationsAction);
    connect(m_invitationsAction, &QAction::triggered, this, &NetworkGame::ShowInvitations);
    connect(file, &QMenu::aboutToShow, this,
            [this] { m_invitationsAction->setVisible(m_host && !m_host->Ended() && !m_rows.empty()); });
    // The time left ticks while a networked game is played here.
    m_timeLeftTick.setInterval(250);
    connect(&m_timeLeftTick, &QTimer::timeout, this, &NetworkGame::ShowTimeLeft);
    connect(&view.Game(), &GameController::turnDescribed, this, [this] {
        if (!(m_host || m_join->Joined()))
            m_timeLeftTick.stop();
        else if (!m_timeLeftTick.isActive())
            m_timeLeftTick.start();
        ShowTimeLeft();
    });
    frame.installEventFilter(this);
    Retranslate();
}

NetworkGame::~NetworkGame() = default;

bool NetworkGame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void NetworkGame::Retranslate()
{
    m_hostAction->setText(tr("ﾈｯﾄﾜｰｸ対戦(&W)..."));
    m_invitationsAction->setText(tr("招待を表示(&V)..."));
}

void NetworkGame::ShowInvitations()
{
    if (!m_host || m_host->Ended())
        return;
    // The seats given to the computer when the game began without them invite no more.
    std::vector<InvitationsDialog::Row> rows;
    for (const InvitationsDialog::Row& row : m_rows)
        if (m_view.Game().World().seats[static_cast<std::size_t>(row.seat)] == Seat::Remote())
            rows.push_back({row.seat, shown::RulerName(row.seat), row.text, row.link}); // in the language now in use
    InvitationsDialog invitations(std::move(rows), *m_host, true, &m_frame);
    m_host->Host().OnPlayers([&invitations] { invitations.ShowJoined(); });
    invitations.exec();
    if (m_host)
        m_host->Host().OnPlayers({});
}

void NetworkGame::ShowTimeLeft()
{
    std::optional<std::chrono::milliseconds> left;
    if (m_host && !m_host->Ended())
        left = m_host->Host().TimeLeft();
    else if (const netgame::DesktopJoin* joined = m_join->Joined())
        left = joined->TimeLeft();
    // Whole seconds, rounded up: 0 only once the time has run out.
    const QString tail =
        left ? QStringLiteral("  ") + tr("残り %1 秒").arg((left->count() + 999) / 1000) : QString();
    if (tail == m_view.statusTail)
        return;
    m_view.statusTail = tail;
    m_view.update();
}

void NetworkGame::ChooseHost()
{
    GameController& game = m_view.Game();
    GameFiles& files = m_view.Files();
    if (!game.CanStartGame() || !files.MayLeaveGame())
        return;
    CRulerDlg rulerDlg;
    rulerDlg.networked = true;
    const std::optional<GameFiles::ChosenStart> start = files.ChooseStart(rulerDlg);
    if (!start || !rulerDlg.SeatsChosen())
        return;
    SeatChoice seats = *rulerDlg.SeatsChosen();
    std::vector<RulerId> remote;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (seats.seats[static_cast<std::size_t>(r)] == Seat::Remote())
            remote.push_back(r);
    if (remote.empty()) {
        platform::ShowMessageBox(&m_frame, tr("ﾈｯﾄﾜｰｸの席がありません: 対戦設定で ﾈｯﾄﾜｰｸ を選んでください"));
        return;
    }
    NetworkHostDialog hostDlg(&m_frame);
    if (hostDlg.exec() != QDialog::Accepted)
        return;

    auto host = std::make_unique<netgame::DesktopHost>(game, std::cerr);
    host->Host().LimitTurns(std::chrono::seconds(hostDlg.TurnLimit()));
    transport::HostOptions options;
    options.port = hostDlg.Port();
    options.data = netgame::DataHash(platform::PathToBytes(m_view.dataDirectory));
    // A player who joins again with his invitation takes his seat over.
    options.newConnectionTakesSeat = true;
    // The page served beside the game: a browser joins at the invitation's page link.
    options.pageDir = transport::PageDirectory();
    if (hostDlg.OpenToNetwork()) {
        options.address = QHostAddress(QHostAddress::AnyIPv4);
        host->Host().InviteAs(transport::NetworkAddress());
    }
    std::string why;
    if (!host->Open(options, remote, &why)) {
        platform::ShowMessageBox(&m_frame, tr("ﾈｯﾄﾜｰｸ対戦を開けませんでした\n%1").arg(QString::fromStdString(why)));
        return;
    }
    std::vector<InvitationsDialog::Row> rows;
    for (const net::Invitation& invitation : host->Host().Invitations())
        rows.push_back({invitation.seat, rulerDlg.RulerName(invitation.seat),
                        QString::fromStdString(net::InvitationText(invitation)),
                        host->Host().Server()->ServesPage() ? QString::fromStdString(net::PageLinkText(invitation))
                                                            : QString()});
    InvitationsDialog invitations(rows, *host, false, &m_frame);
    host->Host().OnPlayers([&invitations] { invitations.ShowJoined(); });
    const bool accepted = invitations.exec() == QDialog::Accepted;
    host->Host().OnPlayers({});
    if (!accepted)
        return;
    if (invitations.StartedAnyway()) {
        // The seats no player holds now are the computer's, their invitations revoked.
        for (RulerId r : host->Host().Absent()) {
            seats.seats[static_cast<std::size_t>(r)] = Seat{};
            host->Host().Server()->Revoke(r);
        }
    }
    m_host = std::move(host);
    m_rows = std::move(rows);
    // A scenario that cannot be read (the player has been told) lets the players go.
    if (!files.NewGame(start->scenario, seats.seats, seats.first, start->directory))
        m_host.reset();
}
