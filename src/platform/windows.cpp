// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <array>

namespace platform {

namespace {
QPointer<QWidget> g_mainWindow;
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

namespace {
// A window manager's border and title bar, until a window has been shown.
constexpr QMargins kFrameAllowance(8, 32, 8, 8);
} // namespace

QRect AvailableArea(const QWidget* window)
{
    if (!window)
        window = MainWindow();
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins FrameMargins(const QWidget* window)
{
    const QWidget* owner = window && window->parentWidget() ? window->parentWidget()->window() : nullptr;
    for (const QWidget* w : {window, owner, static_cast<const QWidget*>(MainWindow())}) {
        if (w && w->isWindow() && w->isVisible()) {
            const QRect frame = w->frameGeometry();
            const QRect inner = w->geometry();
            return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                            frame.bottom() - inner.bottom());
        }
    }
    return window && (window->windowFlags() & Qt::FramelessWindowHint) ? QMargins() : kFrameAllowance;
}

QRect KeepInside(QRect frame, const QRect& area)
{
    if (area.isEmpty())
        return frame;
    // The top left last: it wins where the frame is larger than the area.
    frame.moveRight(qMin(frame.right(), area.right()));
    frame.moveBottom(qMin(frame.bottom(), area.bottom()));
    frame.moveLeft(qMax(frame.left(), area.left()));
    frame.moveTop(qMax(frame.top(), area.top()));
    return frame;
}

void PlaceInside(QWidget* window, QPoint frameTopLeft, const QRect& area)
{
    const QRect frame(frameTopLeft, window->size().grownBy(FrameMargins(window)));
    // move() places the frame's top left for a top-level window.
    const QPoint placed = KeepInside(frame, area).topLeft();
    if (placed != window->pos())
        window->move(placed);
}

void CentreOnOwner(QWidget* window, QWidget* owner)
{
    if (!owner)
        owner = MainWindow();
    if (!owner || !window)
        return;
    QRect placed(QPoint(), window->size().grownBy(FrameMargins(window)));
    placed.moveCenter(owner->frameGeometry().center());
    // A window taller or wider than its owner must not leave the owner's screen.
    PlaceInside(window, placed.topLeft(), AvailableArea(owner));
}

namespace {
constexpr int kToolGap = 8; // between the main window and a tool window beside it

qint64 Overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}
} // namespace

QRect ToolWindowPlace(QSize frame, const ToolWindowRoom& room)
{
    const QRect& main = room.main;
    const QRect& area = room.area;
    if (!area.isEmpty())
        frame = frame.boundedTo(area.size());
    const int w = frame.width();
    const int h = frame.height();
    // Beside the main window first: right, left, below, above, a window that may be
    // smaller made as small as the room there needs; then every place that lines up
    // with an edge of the screen, the main window, a control or another window.
    const QSize smallest = room.smallest.isValid() ? room.smallest.boundedTo(frame) : frame;
    const struct {
        QPoint at;
        QSize size;
    } beside[] = {
        {{main.right() + 1 + kToolGap, main.top()}, {qMin(w, area.right() - main.right() - kToolGap), h}},
        {{main.left() - kToolGap - w, main.top()}, {qMin(w, main.left() - kToolGap - area.left()), h}},
        {{main.left(), main.bottom() + 1 + kToolGap}, {w, qMin(h, area.bottom() - main.bottom() - kToolGap)}},
        {{main.left(), main.top() - kToolGap - h}, {w, qMin(h, main.top() - kToolGap - area.top())}},
    };
    QVector<QRect> places;
    for (const auto& [at, size] : beside) {
        if (size.width() < smallest.width() || size.height() < smallest.height())
            continue;
        QRect placed = KeepInside(QRect(at, size), area);
        if (at.x() < main.left()) // on the left the right edge stays by the main window
            placed.moveRight(main.left() - kToolGap - 1);
        if (at.y() < main.top())
            placed.moveBottom(main.top() - kToolGap - 1);
        places.append(KeepInside(placed, area));
    }
    const qsizetype besidePlaces = places.size();
    QVector<int> xs = {area.left(), area.right() + 1 - w, main.left()};
    QVector<int> ys = {area.top(), area.bottom() + 1 - h, main.top()};
    QVector<QRect> edges = room.keepClear;
    edges += room.others;
    for (const QRect& r : edges) {
        xs += {r.left() - kToolGap - w, r.right() + 1 + kToolGap};
        ys += {r.top() - kToolGap - h, r.bottom() + 1 + kToolGap};
    }
    for (int y : ys)
        for (int x : xs)
            places.append(KeepInside(QRect(QPoint(x, y), frame), area));
    // The least of the controls covered, then of the other windows, then of the main
    // window; the earlier place where two are alike.
    auto covered = [](const QRect& placed, const QVector<QRect>& rects) {
        qint64 sum = 0;
        for (const QRect& r : rects)
            sum += Overlap(placed, r);
        return sum;
    };
    auto cost = [&](const QRect& placed) {
        return std::array<qint64, 3>{covered(placed, room.keepClear), covered(placed, room.others),
                                     Overlap(placed, main)};
    };
    constexpr std::array<qint64, 3> kClear{0, 0, 0};
    for (qsizetype i = 0; i < besidePlaces; ++i)
        if (cost(places[i]) == kClear)
            return places[i];
    QRect best = places.front();
    std::array<qint64, 3> bestCost = cost(best);
    for (const QRect& placed : places) {
        if (const std::array<qint64, 3> c = cost(placed); c < bestCost) {
            best = placed;
            bestCost = c;
        }
    }
    return best;
}

void PlaceToolWindow(QWidget* window, const QWidget* main, const QVector<QRect>& keepClear)
{
    if (!window || !main)
        return;
    const QMargins margins = FrameMargins(window);
    ToolWindowRoom room{main->frameGeometry(), keepClear, {}, AvailableArea(main),
                        window->minimumSizeHint().expandedTo(window->minimumSize()).grownBy(margins)};
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = other->windowType();
        if (other != window && other != main && other->isVisible() && type != Qt::Popup && type != Qt::ToolTip)
            room.others.append(other->frameGeometry());
    }
    const QRect place = ToolWindowPlace(window->size().grownBy(margins), room);
    QSize inner = place.size().shrunkBy(margins).expandedTo(window->minimumSize());
    // Text that wraps takes more lines in a narrower window: the window grows to hold
    // them, and stays inside the screen as it does.
    if (window->hasHeightForWidth()) {
        int wanted = window->heightForWidth(inner.width());
        if (!room.area.isEmpty())
            wanted = qMin(wanted, room.area.height() - margins.top() - margins.bottom());
        inner.setHeight(qMax(inner.height(), wanted));
    }
    if (inner != window->size())
        window->resize(inner);
    window->move(KeepInside(QRect(place.topLeft(), inner.grownBy(margins)), room.area).topLeft());
}

} // namespace platform
