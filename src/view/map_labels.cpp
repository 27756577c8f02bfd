#include "view/map_labels.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "app/kiv_doc.h"
#include "platform/fonts.h"
#include "rules/names.h"
#include "view/kiv_view.h"

namespace {
// Right of the number cell (x .. x + 15) and of the turn frame (to x + 17).
constexpr int kNameOffsetX = 20;
constexpr int kNamePixels = 12;
} // namespace

void DrawCountryNames(QPainter& painter)
{
    painter.save();
    QFont font = platform::Font(platform::GameFont::System);
    font.setPixelSize(kNamePixels);
    painter.setFont(font);
    const int ascent = painter.fontMetrics().ascent();
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = GameState::countries[static_cast<std::size_t>(i)];
        const QString name = QString::fromStdString(CountryNameUtf8(i));
        if (name.isEmpty() || c.GetMapX() > kMapWidth || c.GetMapY() > kMapHeight + 16)
            continue;
        // The name's middle on the middle of the 16-pixel number cell.
        const int x = c.GetMapX() + kNameOffsetX;
        const int y = c.GetMapY() - 16 + (16 - kNamePixels) / 2 + ascent;
        painter.setPen(Qt::white);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    painter.drawText(x + dx, y + dy, name);
        painter.setPen(Qt::black);
        painter.drawText(x, y, name);
    }
    painter.restore();
}

QString CountryTipText(int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    const QString name = QString::fromStdString(CountryNameUtf8(country));
    if (name.isEmpty())
        return {};
    const Country& c = GameState::countries[static_cast<std::size_t>(country)];
    return QStringLiteral("%1 %2\n君主 %3\n人口 %4\n開墾 %5\n商業 %6\n兵糧 %7\n資金 %8\n兵士 %9\n訓練 %10")
        .arg(country)
        .arg(name, QString::fromStdString(RulerNameUtf8(c.GetRuler())))
        .arg(c.GetPopulation())
        .arg(c.GetCultivation())
        .arg(c.GetCommerce())
        .arg(c.GetProvisions())
        .arg(c.GetFunds())
        .arg(c.GetSoldiers())
        .arg(c.GetTraining());
}

CMapTips::CMapTips(CKivView& view) : QObject(&view), m_view(view) { view.installEventFilter(this); }

QString CMapTips::TextAt(QPoint widgetPoint) const
{
    const QPoint p = m_view.ToMapPoint(widgetPoint);
    return CountryTipText(m_view.GetDocument().CountryAt(p.x(), p.y()));
}

bool CMapTips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_view || event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = TextAt(help->pos());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, &m_view);
    return true;
}
