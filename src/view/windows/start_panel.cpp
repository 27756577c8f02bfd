// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/start_panel.h"

#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/fonts.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"

namespace {

// The panel lies on the map left of the status panel (whose message box begins at x
// 390) and above the command buttons, on the map's own pixels.
constexpr QRect kPanelPlace(8, 8, 374, 374);
// The buttons' width.
constexpr int kEntryWidth = 340;

// "ｹﾞｰﾑ開始 (Ctrl+N)": a menu command's name and its key, as the help window names them.
QString WithKey(const QString& name, int id)
{
    for (const MenuKey& key : CommandTable::MenuKeys())
        if (key.id == id)
            return QStringLiteral("%1  (%2)").arg(name, key.keys.toString(QKeySequence::NativeText));
    return name;
}

} // namespace

StartPanel::StartPanel(CKivView& view) : QWidget(&view), m_view(view)
{
    setObjectName(QStringLiteral("startPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignCenter);
    m_title = new QLabel(QStringLiteral("Velcor"), this);
    m_title->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_title, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    auto entry = [&](const char* name) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::StrongFocus);
        button->installEventFilter(this);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        return button;
    };
    m_newGame = entry("newGame");
    m_resume = entry("resume");
    m_load = entry("load");
    m_recentHeading = new QLabel(this);
    m_recentHeading->setAlignment(Qt::AlignCenter);
    layout->addSpacing(8);
    layout->addWidget(m_recentHeading, 0, Qt::AlignHCenter);
    for (std::size_t i = 0; i < m_recent.size(); ++i)
        m_recent[i] = entry(QStringLiteral("recent%1").arg(i + 1).toLatin1().constData());

    connect(m_newGame, &QPushButton::clicked, this, &StartPanel::newGameChosen);
    connect(m_load, &QPushButton::clicked, this, &StartPanel::loadChosen);
    for (QPushButton* button : Entries())
        if (button != m_newGame && button != m_load)
            connect(button, &QPushButton::clicked, this,
                    [this, button] { emit gameChosen(button->property("path").toString()); });
    SetGames(std::nullopt, {});
    Retranslate();

    view.installEventFilter(this);
    connect(&view.Game(), &GameController::turnDescribed, this, &StartPanel::FollowMode);
    FitToView();
    // The first filling waits until the window has been shown and painted.
    hide();
    QTimer::singleShot(0, this, &StartPanel::FollowMode);
}

void StartPanel::SetGames(const std::optional<Game>& resume, const QList<Game>& recent)
{
    m_resumeLabel = resume ? resume->label : QString();
    m_resume->setProperty("path", resume ? resume->path : QString());
    m_resume->setVisible(resume.has_value());
    for (std::size_t i = 0; i < m_recent.size(); ++i) {
        QPushButton* button = m_recent[i];
        const bool used = static_cast<qsizetype>(i) < recent.size();
        button->setVisible(used);
        if (!used)
            continue;
        const Game& game = recent[static_cast<qsizetype>(i)];
        button->setText(QStringLiteral("%1  %2").arg(i + 1).arg(game.label));
        button->setToolTip(game.path);
        button->setProperty("path", game.path);
    }
    m_recentHeading->setVisible(!recent.isEmpty());
    Retranslate();
}

QList<QPushButton*> StartPanel::Entries() const
{
    QList<QPushButton*> entries = {m_newGame, m_resume, m_load};
    entries.append(QList<QPushButton*>(m_recent.begin(), m_recent.end()));
    entries.removeIf([](QPushButton* b) { return b->isHidden(); });
    return entries;
}

void StartPanel::FollowMode()
{
    const bool noGame = !m_view.Game().Turn().InGame();
    QWidget* focus = m_view.window()->focusWidget();
    if (noGame && isHidden()) {
        emit opened();
        show();
    } else if (!noGame && !isHidden()) {
        hide();
        if (focus && isAncestorOf(focus))
            m_view.setFocus(); // the command keys reach the map again
    }
}

void StartPanel::FitToView()
{
    const qreal zoom = m_view.Zoom();
    setGeometry(QRect(kPanelPlace.topLeft() * zoom, kPanelPlace.size() * zoom));
    const QFont font = platform::Font(platform::GameFont::DialogLarge, zoom);
    QFont title = font;
    if (font.pixelSize() > 0)
        title.setPixelSize(font.pixelSize() * 2);
    else
        title.setPointSizeF(font.pointSizeF() * 2);
    title.setBold(true);
    m_title->setFont(title);
    m_recentHeading->setFont(font);
    const int entryWidth = qRound(kEntryWidth * zoom);
    m_title->setFixedWidth(entryWidth);
    m_recentHeading->setFixedWidth(entryWidth);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setFont(font);
        button->setFixedWidth(entryWidth);
    }
}

void StartPanel::Retranslate()
{
    m_newGame->setText(WithKey(tr("ｹﾞｰﾑ開始"), CommandTable::ID_FILE_NEW_GAME));
    m_resume->setText(tr("自動ｾｰﾌﾞから再開  %1").arg(m_resumeLabel));
    m_load->setText(WithKey(tr("ﾛｰﾄﾞ"), CommandTable::ID_FILE_LOAD_GAME));
    m_recentHeading->setText(tr("最近のｹﾞｰﾑ"));
}

void StartPanel::StepFocus(int direction)
{
    const QList<QPushButton*> entries = Entries();
    const qsizetype at = entries.indexOf(qobject_cast<QPushButton*>(focusWidget()));
    const qsizetype n = entries.size();
    const qsizetype next = at < 0 ? 0 : (at + direction + n) % n;
    entries[next]->setFocus(direction > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool StartPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && event->type() == QEvent::Resize)
        FitToView();
    if (event->type() == QEvent::KeyPress && watched == &m_view && isVisible()) {
        // The map keeps the keys while no game is in play; the keys that step through
        // the entries lead into the panel.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
            return false;
        const QList<QPushButton*> entries = Entries();
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Down:
        case Qt::Key_Right:
            entries.front()->setFocus(Qt::TabFocusReason);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Left:
            entries.back()->setFocus(Qt::BacktabFocusReason);
            return true;
        default:
            return false;
        }
    }
    if (event->type() == QEvent::KeyPress && qobject_cast<QPushButton*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            StepFocus(-1);
            return true;
        case Qt::Key_Down:
        case Qt::Key_Right:
            StepFocus(1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!key->isAutoRepeat())
                static_cast<QPushButton*>(watched)->click();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StartPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void StartPanel::paintEvent(QPaintEvent*)
{
    // The status panel's grey, edged like its boxes: black above and left, white below
    // and right.
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, QColor(192, 192, 192));
    painter.fillRect(all.left(), all.top(), all.width(), 1, Qt::black);
    painter.fillRect(all.left(), all.top(), 1, all.height(), Qt::black);
    painter.fillRect(all.left(), all.bottom(), all.width(), 1, Qt::white);
    painter.fillRect(all.right(), all.top(), 1, all.height(), Qt::white);
}
