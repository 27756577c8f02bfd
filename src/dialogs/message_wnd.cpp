// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_wnd.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimerEvent>

#include "platform/dialog_units.h"
#include "platform/fonts.h"
#include "platform/windows.h"

CMessageWnd::CMessageWnd(QWidget* owner)
    : QDialog(owner ? owner : platform::MainWindow(), Qt::Dialog | Qt::FramelessWindowHint)
{
    setModal(true);
    setFont(platform::Font(platform::GameFont::DialogLarge));
    const platform::DialogUnits du(font());
    setFixedSize(du.Size(116, 22));
    // A thin border instead of a caption.
    setStyleSheet(QStringLiteral("CMessageWnd { border: 1px solid black; }"));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setGeometry(du.Rect(7, 7, 102, 8));
}

CMessageWnd::~CMessageWnd() { m_timer.stop(); }

void CMessageWnd::OnInitDialog()
{
    m_text->setText(m_strText);
    // A line longer than the window is made to hold widens the window rather than
    // being cut off.
    const int needed = m_text->fontMetrics().horizontalAdvance(m_strText);
    if (needed > m_text->width()) {
        const int extra = needed - m_text->width();
        setFixedWidth(width() + extra);
        m_text->setFixedWidth(m_text->width() + extra);
    }
    m_timer.start(m_nElapse, Qt::PreciseTimer, this);
}

void CMessageWnd::showEvent(QShowEvent* event)
{
    // Placed once its size is final, just before it appears.
    platform::CentreOnOwner(this, parentWidget());
    QDialog::showEvent(event);
}

int CMessageWnd::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CMessageWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        accept();
    else
        QDialog::timerEvent(event);
}

void CMessageWnd::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        accept();
}

void CMessageWnd::keyPressEvent(QKeyEvent* event)
{
    // Enter closes the window like its OK; Escape is the dialog's own cancel.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        accept();
    else
        QDialog::keyPressEvent(event);
}

void CMessageWnd::done(int result)
{
    m_timer.stop(); // the timer never outlives the window
    QDialog::done(result);
}
