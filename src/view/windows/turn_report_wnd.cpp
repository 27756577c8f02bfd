// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/turn_report_wnd.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/window_scale.h"
#include "words/event_words.h"

TurnReportWindow::TurnReportWindow(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("turnReport"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(this);
    m_heading = heading;
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("reportText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_showNext = new QCheckBox(this);
    m_showNext->setChecked(true);
    auto* close = new QPushButton(QStringLiteral("OK"), this);
    layout->addWidget(heading);
    layout->addWidget(m_text);
    layout->addWidget(m_showNext);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_showNext, &QCheckBox::toggled, this, &TurnReportWindow::showNextChanged);
    Retranslate();
}

void TurnReportWindow::Retranslate()
{
    setWindowTitle(chronicle::Captions::ReportTitle());
    m_heading->setText(chronicle::Captions::ReportHeading());
    m_showNext->setText(chronicle::Captions::ReportShowNext());
}

void TurnReportWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void TurnReportWindow::ShowReport(const QStringList& lines)
{
    if (lines.isEmpty()) {
        hide();
        return;
    }
    m_showNext->blockSignals(true);
    m_showNext->setChecked(true);
    m_showNext->blockSignals(false);
    m_text->setText(lines.join(QLatin1Char('\n')));
    adjustSize();
    show();
}

void TurnReportWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape close the report, as OK does, wherever the focus rests in it.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        hide();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

QString TurnReportWindow::Text() const { return m_text->text(); }
