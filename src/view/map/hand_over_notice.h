// SPDX-License-Identifier: GPL-3.0-or-later
// The notice between two people's turns at one screen: it covers the map with whose
// turn comes next (his portrait and name) and waits for a key or a click, so that
// nobody gives a command for another's ruler. While it shows, the map beneath takes no
// command: clicks land on the notice, and the keys of the map's window are the
// notice's. A key typed ahead before it showed, or one held down, does not take it.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "conduct/seat_role.h" // TurnPerson
#include "model/game_state.h"

class HandOverNotice : public QWidget {
    Q_OBJECT

public:
    // Lies over map (its parent), hidden until shown.
    explicit HandOverNotice(QWidget* map);
    ~HandOverNotice() override;

    // Covers the map with the notice for ruler (his name and portrait as shown);
    // headline, when given, in place of whose turn it is (a turn come back to this
    // screen from the network).
    void Show(RulerId ruler, const QString& name, const QImage& portrait, const QString& headline = {});
    // The person has taken the turn: the notice goes and says so.
    void Take();
    // Goes without being taken (the game it stood in has gone).
    void Dismiss();
    bool Waiting() const { return m_ruler != 0; }
    RulerId Ruler() const { return m_ruler; }
    // The words it shows (tests read them).
    QString Headline() const;
    static QString Hint();

signals:
    // The turn of ruler has been taken up by its person.
    void taken(RulerId ruler);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RulerId m_ruler = 0;
    QString m_name;
    QString m_headline;
    QImage m_portrait;
    quint64 m_shownAt = 0;
};
