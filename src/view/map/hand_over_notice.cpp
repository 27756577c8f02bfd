// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/hand_over_notice.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/fonts.h"
#include "platform/key_time.h"
#include "platform/text_fit.h"
#include "view/map/map_picture.h"

namespace {
// The box in the middle of the map, in the map's own pixels, in the panel's colours.
const QRect kBox(158, 110, 300, 170);
const QColor kPanelGrey(192, 192, 192);
const QColor kVeil(0, 0, 0, 110);
constexpr int kPad = 12;
constexpr int kPortraitWidth = 80;
constexpr int kPortraitHeight = 100;

bool IsModifierOnly(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock;
}
} // namespace

HandOverNotice::HandOverNotice(QWidget* map) : QWidget(map)
{
    setObjectName(QStringLiteral("handOverNotice"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

HandOverNotice::~HandOverNotice() { qApp->removeEventFilter(this); }

QString HandOverNotice::Headline() const
{
    return m_headline.isEmpty() ? tr("%1 の番です").arg(m_name) : m_headline;
}

QString HandOverNotice::Hint() { return tr("ｸﾘｯｸするかｷｰを押すと始まります"); }

void HandOverNotice::Show(RulerId ruler, const QString& name, const QImage& portrait, const QString& headline)
{
    m_ruler = ruler;
    m_name = name;
    m_headline = headline;
    m_portrait = portrait;
    m_shownAt = platform::KeyClockNow();
    // What it shows, for a screen reader.
    setAccessibleName(Headline());
    setAccessibleDescription(Hint());
    setGeometry(parentWidget()->rect());
    raise(); // over the command buttons too
    show();
    qApp->installEventFilter(this);
    if (window()->isActiveWindow())
        setFocus(Qt::OtherFocusReason);
    update();
}

void HandOverNotice::Dismiss()
{
    qApp->removeEventFilter(this);
    m_ruler = 0;
    hide();
}

void HandOverNotice::Take()
{
    if (!Waiting())
        return;
    const RulerId ruler = m_ruler;
    Dismiss();
    if (parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason); // the keys are the map's again
    emit taken(ruler);
}

void HandOverNotice::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Take();
}

bool HandOverNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !Waiting())
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window())
        return QWidget::eventFilter(watched, event); // another window's key (a dialog's, a tool window's)
    const auto* key = static_cast<QKeyEvent*>(event);
    // The menus' own keys (Ctrl+S, Alt+F) stay theirs; every other key is the notice's.
    if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) || IsModifierOnly(key->key()))
        return QWidget::eventFilter(watched, event);
    if (!key->isAutoRepeat() && !platform::PressedBefore(key->timestamp(), m_shownAt))
        Take();
    return true;
}

void HandOverNotice::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kVeil);
    const double scale = static_cast<double>(width()) / kMapWidth;
    p.scale(scale, scale);
    // The panel's box: grey inside a black line, white on its lower and right edges.
    p.fillRect(kBox, kPanelGrey);
    p.setPen(Qt::black);
    p.drawRect(kBox.adjusted(0, 0, -1, -1));
    p.setPen(Qt::white);
    p.drawLine(kBox.left() + 1, kBox.bottom() - 1, kBox.right() - 1, kBox.bottom() - 1);
    p.drawLine(kBox.right() - 1, kBox.top() + 1, kBox.right() - 1, kBox.bottom() - 1);

    // The portrait in the panel's double white frame.
    const QRect picture(kBox.left() + kPad + 4, kBox.top() + kPad + 4, kPortraitWidth, kPortraitHeight);
    p.fillRect(picture.adjusted(-4, -4, 4, 4), Qt::black);
    p.fillRect(picture.adjusted(-3, -3, 3, 3), Qt::white);
    p.fillRect(picture.adjusted(-1, -1, 1, 1), Qt::black);
    if (!m_portrait.isNull())
        p.drawImage(picture.topLeft(), m_portrait);

    const int textLeft = picture.right() + 4 + kPad;
    const int textWidth = kBox.right() - kPad - textLeft;
    QFont large = platform::Font(platform::GameFont::System, 2);
    const platform::FittedText headline = platform::FitText(large, Headline(), textWidth);
    p.setPen(Qt::black);
    p.setFont(headline.font);
    p.drawText(QRect(textLeft, picture.top(), textWidth, picture.height()), Qt::AlignLeft | Qt::AlignVCenter,
               headline.text);
    const QFont small = platform::Font(platform::GameFont::System, 1);
    const platform::FittedText hint = platform::FitText(small, Hint(), kBox.width() - 2 * kPad);
    p.setFont(hint.font);
    p.drawText(QRect(kBox.left() + kPad, picture.bottom() + 4 + 6, kBox.width() - 2 * kPad,
                     kBox.bottom() - picture.bottom() - 10 - kPad),
               Qt::AlignCenter, hint.text);
}
