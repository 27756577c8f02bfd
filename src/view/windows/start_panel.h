// SPDX-License-Identifier: GPL-3.0-or-later
// What the map shows while no game is in play: a panel of ways into a game (ｹﾞｰﾑ開始,
// the last autosave with its date and ruler, ﾛｰﾄﾞ, the games last saved or loaded),
// one button each, reached by the mouse or by the keys (the map keeps the keys; Tab
// and the arrows lead into the panel and step through it, Enter or Space presses). It lies over the map left of the status panel, which shows the
// empty figures as before; it hides itself when a game begins and comes back when there is none. It only says
// what was chosen: whoever made it starts the game.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

#include "platform/settings.h"

class CKivView;
class QLabel;
class QPushButton;

class StartPanel : public QWidget {
    Q_OBJECT

public:
    // A saved game the panel offers: how it is named and its file.
    struct Game {
        QString label;
        QString path;
    };

    // A child of view, shown while the view's mode is NoGame.
    explicit StartPanel(CKivView& view);

    // The games offered beside ｹﾞｰﾑ開始 and ﾛｰﾄﾞ: the autosave to resume (none: its
    // button is hidden) and the recent games, newest first.
    void SetGames(const std::optional<Game>& resume, const QList<Game>& recent);

    // The buttons shown, in the order the keys step through them.
    QList<QPushButton*> Entries() const;

signals:
    void newGameChosen();
    void loadChosen();
    void gameChosen(const QString& path);
    // The panel is about to be shown: the games it offers may be filled again.
    void opened();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Shown exactly while no game is in play.
    void FollowMode();
    // The map's area above the buttons, at the view's zoom, and the fonts for it.
    void FitToView();
    void Retranslate();
    // Moves the keyboard's focus to the next or previous entry, round the list.
    void StepFocus(int direction);

    CKivView& m_view;
    QLabel* m_title;
    QPushButton* m_newGame;
    QPushButton* m_resume;
    QPushButton* m_load;
    QLabel* m_recentHeading;
    std::array<QPushButton*, platform::settings::kRecentFileCount> m_recent{};
    QString m_resumeLabel;
};
