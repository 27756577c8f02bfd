// SPDX-License-Identifier: GPL-3.0-or-later
// The turn report: a small window beside the map, shown at the player's turn when
// something happened to him or to the map since his last turn. It is not modal and
// takes no focus: the game goes on under it. Enter or Escape closes it when it has
// the focus.
#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;

class TurnReportWindow : public QWidget {
    Q_OBJECT

public:
    explicit TurnReportWindow(QWidget* parent = nullptr);

    // Shows the lines (or hides the window when there are none).
    void ShowReport(const QStringList& lines);
    QString Text() const;

signals:
    // The player turned the report off or on with the window's check box.
    void showNextChanged(bool on);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Retranslate();

    QLabel* m_heading;
    QLabel* m_text;
    QCheckBox* m_showNext;
};
