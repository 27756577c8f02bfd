// SPDX-License-Identifier: GPL-3.0-or-later
// The game's transient notice: a caption-less window with one centred line that
// blocks its caller until it closes, after its time or at a click, Enter or Escape.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QString>

class QLabel;

class CMessageWnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMessageTimerId = 1;
    static constexpr int kDefaultMessageTime = 1000;

    // The owner is the main window when none is given.
    explicit CMessageWnd(QWidget* owner = nullptr);
    ~CMessageWnd() override;

    QString m_strText;
    int m_nElapse = kDefaultMessageTime;

    // Shows the window modally until it closes.
    int exec() override;

    bool TimerActive() const { return m_timer.isActive(); }

protected:
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    QLabel* m_text;
    QBasicTimer m_timer;
};
