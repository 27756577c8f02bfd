// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/editor/editor_map.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "platform/fonts.h"
#include "platform/window_scale.h"
#include "view/map/map_labels.h"

namespace editor {

namespace {
// The status panel's left edge: nothing of the countries lies beyond it.
constexpr int kShownWidth = 392;
} // namespace

EditorMap::EditorMap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("editorMap"));
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    BuildRulerTable(m_world);
    m_picture.LoadPictures();
}

QRect EditorMap::Shown() { return QRect(0, 0, kShownWidth, kMapHeight); }

QSize EditorMap::sizeHint() const { return Shown().size() * platform::WindowScale(); }

QSize EditorMap::minimumSizeHint() const { return Shown().size(); }

int EditorMap::heightForWidth(int width) const { return width * Shown().height() / Shown().width(); }

double EditorMap::Scale() const
{
    return std::max(0.25, std::min(double(width()) / Shown().width(), double(height()) / Shown().height()));
}

void EditorMap::ShowWorld(const WorldRecord& world)
{
    ApplyWorld(m_world, world);
    update();
}

void EditorMap::Choose(int country)
{
    m_choice.Choose(GameState::IsCountryIndex(country) ? country : -1);
    update();
}

int EditorMap::CountryAt(QPoint widgetPoint) const
{
    const double scale = Scale();
    const int x = static_cast<int>(widgetPoint.x() / scale);
    const int y = static_cast<int>(widgetPoint.y() / scale);
    return Shown().contains(x, y) ? m_picture.CountryAt(x, y) : MapPicture::kNoCountry;
}

void EditorMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.HasPictures()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    m_picture.PaintOwnership(m_world);
    // The picture is enlarged, pixel for pixel at a whole scale; the words are drawn at
    // the larger size.
    const double scale = Scale();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale != std::floor(scale));
    painter.scale(scale, scale);
    painter.setClipRect(Shown());
    painter.drawImage(0, 0, m_picture.MapBitmap());
    m_choice.DrawOutline(painter, m_picture);
    DrawPaintedNames(painter, m_picture.MapBitmap());
    painter.setFont(platform::Font(platform::GameFont::System, 1));
    painter.setPen(Qt::black);
    const int ascent = painter.fontMetrics().ascent();
    // A marker far off the map is simply not seen; its arithmetic stays within range.
    constexpr int kFarOff = 1 << 16;
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = m_world.countries[static_cast<std::size_t>(i)];
        painter.drawText(std::min(c.GetMapX(), kFarOff), std::min(c.GetMapY(), kFarOff) - 16 + ascent,
                         QString::number(i));
    }
    DrawCountryNames(painter, m_world);
    if (hasFocus()) {
        painter.resetTransform();
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void EditorMap::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int country = CountryAt(event->position().toPoint());
    if (country == MapPicture::kNoCountry)
        return;
    Choose(country);
    emit countryChosen(country);
}

void EditorMap::Step(int direction)
{
    std::vector<int> all(kCountryCount);
    std::iota(all.begin(), all.end(), 0);
    const int country = m_choice.Step(all, direction);
    update();
    emit countryChosen(country);
}

void EditorMap::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        Step(1);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        Step(-1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Chosen() >= 0) {
            emit fieldsWanted();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

bool EditorMap::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = CountryTipText(m_world, CountryAt(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    return QWidget::event(event);
}

} // namespace editor
