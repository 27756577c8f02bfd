// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/holdings_chart.h"

#include <QEvent>

#include "words/shown_text.h"

#include <QAction>
#include <QFileDialog>
#include <QPen>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "platform/message_box.h"
#include "rules/names.h"
#include "view/windows/chronicle_log.h"
#include "words/event_words.h"

namespace {

QColor LineColour(RulerId ruler)
{
    const Colour c = kRulerColours[static_cast<std::size_t>(ruler)];
    return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

} // namespace

HoldingsChart::HoldingsChart(const ChronicleLog& log, QWidget* parent) : QChartView(parent), m_log(&log)
{
    SetUp();
    OnCleared();
}

HoldingsChart::HoldingsChart(const HoldingsHistory& history, QWidget* parent) : QChartView(parent)
{
    SetUp();
    OnCleared();
    m_history = history;
    Plot(0);
}

void HoldingsChart::SetUp()
{
    setRenderHint(QPainter::Antialiasing);
    // The view's own chart (a chart set in its place would leave this one to nobody).
    QChart* c = chart();
    c->legend()->setAlignment(Qt::AlignRight);
    m_x = new QValueAxis;
    m_x->setLabelFormat(QStringLiteral("%d"));
    m_y = new QValueAxis;
    m_y->setRange(0, kCountryCount);
    m_y->setTickCount(8);
    m_y->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(m_x, Qt::AlignBottom);
    c->addAxis(m_y, Qt::AlignLeft);

    auto* save = new QAction(this);
    m_saveAction = save;
    connect(save, &QAction::triggered, this, &HoldingsChart::OnSaveAs);
    addAction(save);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    Retranslate();
    FollowFont();
}

void HoldingsChart::FollowFont()
{
    const QFont f = font();
    chart()->legend()->setFont(f);
    for (QValueAxis* axis : {m_x, m_y}) {
        axis->setLabelsFont(f);
        axis->setTitleFont(f);
    }
}

void HoldingsChart::Retranslate()
{
    m_x->setTitleText(chronicle::Captions::ChartAxisYear());
    m_y->setTitleText(chronicle::Captions::ChartAxisCountries());
    m_saveAction->setText(chronicle::Captions::SaveChart());
    for (RulerId r = 0; r < kRulerCount; ++r)
        if (QLineSeries* s = m_series[static_cast<std::size_t>(r)])
            s->setName(shown::RulerName(r));
}

void HoldingsChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    if (event->type() == QEvent::FontChange)
        FollowFont();
    QChartView::changeEvent(event);
}

double HoldingsChart::X(const HoldingsHistory::Point& p) { return p.year + (p.month - 1) / 12.0; }

void HoldingsChart::OnCleared()
{
    for (QLineSeries*& s : m_series) {
        if (s) {
            chart()->removeSeries(s);
            delete s;
            s = nullptr;
        }
    }
    m_ended = {};
    m_history.Clear();
    m_plotted = 0;
    SetYearRange(0, 1);
    if (m_log)
        OnEventsAdded(0, m_log->Count());
}

void HoldingsChart::OnEventsAdded(std::size_t first, std::size_t end)
{
    bool added = false;
    for (std::size_t i = first; i < end; ++i)
        added |= m_history.Add(m_log->At(i));
    if (added)
        Plot(m_plotted);
}

void HoldingsChart::Plot(std::size_t fromPoint)
{
    const auto& points = m_history.Points();
    if (points.empty())
        return;
    std::array<QList<QPointF>, kRulerCount> lines;
    for (std::size_t i = fromPoint; i < points.size(); ++i) {
        const double x = X(points[i]);
        for (RulerId r = 1; r < kRulerCount; ++r) {
            const int held = points[i].held[static_cast<std::size_t>(r)];
            const auto ri = static_cast<std::size_t>(r);
            if (held == 0 && (!m_series[ri] || m_ended[ri]))
                continue; // never in the chart yet, or his line has ended
            m_ended[ri] = held == 0;
            lines[ri].append(QPointF(x, held));
        }
    }
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const auto ri = static_cast<std::size_t>(r);
        if (lines[ri].isEmpty())
            continue;
        if (!m_series[ri]) {
            auto* s = new QLineSeries;
            s->setName(shown::RulerName(r));
            QPen pen(LineColour(r));
            pen.setWidth(2);
            s->setPen(pen);
            chart()->addSeries(s);
            s->attachAxis(m_x);
            s->attachAxis(m_y);
            m_series[ri] = s;
        }
        m_series[ri]->append(lines[ri]);
    }
    m_plotted = points.size();
    SetYearRange(X(points.front()), X(points.back()));
}

void HoldingsChart::SetYearRange(double first, double last)
{
    // The ticks stand on whole years, one a year while they fit, else every 2, 5, 10,
    // 20, 50... years, so that no year is labelled twice; the axis runs from tick to
    // tick, so that both ends are labelled.
    const double years = std::max(std::ceil(last) - std::floor(first), 1.0);
    double step = 1;
    for (int i = 0; years / step > kMaxYearTicks; ++i)
        step *= i % 3 == 1 ? 2.5 : 2; // 1, 2, 5, 10, 20, 50...
    const double from = std::floor(first / step) * step;
    m_x->setRange(from, std::max(std::ceil(last / step) * step, from + step));
    m_x->setTickType(QValueAxis::TicksDynamic);
    m_x->setTickAnchor(from);
    m_x->setTickInterval(step);
}

bool HoldingsChart::SavePng(const QString& path) { return grab().save(path, "PNG"); }

void HoldingsChart::OnSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, chronicle::Captions::ChartSaveTitle(), QString(),
                                                       QStringLiteral("PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (!SavePng(path))
        platform::ShowMessageBox(this, chronicle::Captions::ChartSaveFailed().arg(path));
}
