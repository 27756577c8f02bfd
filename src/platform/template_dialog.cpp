// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/template_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <limits>

#include "platform/text_fit.h"
#include "platform/window_scale.h"
#include "platform/windows.h"

namespace platform {

TemplateDialog::TemplateDialog(QWidget* owner, const QString& title, int widthDu, int heightDu,
                               const QFont& font, int frame)
    : QDialog(owner ? owner : MainWindow()), m_scale(WindowScale()), m_du(font)
{
    // A dialog too large for its screen at the windows' zoom takes the largest zoom
    // at which it fits, its font and pictures with it.
    const QRect area = AvailableArea(parentWidget());
    const QMargins margins = FrameMargins(nullptr);
    QFont scaled = font;
    auto fits = [&] {
        const QSize framed = m_du.Size(widthDu, heightDu).grownBy(margins);
        return area.isEmpty() || (framed.width() <= area.width() && framed.height() <= area.height());
    };
    while (m_scale > kWindowScales.front() && !fits()) {
        m_scale = SmallerWindowScale(m_scale);
        scaled = RescaledFont(font, WindowScale(), m_scale);
        m_du = DialogUnits(scaled);
    }
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if (frame & Caption)
        flags |= Qt::WindowTitleHint;
    if (frame & CloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
    setWindowTitle(title);
    setFont(scaled);
    setFixedSize(m_du.Size(widthDu, heightDu));
}

int TemplateDialog::exec()
{
    OnInitDialog();
    FitStaticTexts();
    CentreOnOwner(this, parentWidget());
    return QDialog::exec();
}

void TemplateDialog::Place(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(m_du.Rect(x, y, width, height));
}

QPushButton* TemplateDialog::AddPushButton(const QString& text, int x, int y, int width, int height, bool isDefault)
{
    auto* button = new QPushButton(text, this);
    Place(button, x, y, width, height);
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    return button;
}

QLabel* TemplateDialog::AddText(const QString& text, int x, int y, int width, int height, Qt::Alignment alignment,
                                bool sunken)
{
    auto* label = new QLabel(text, this);
    Place(label, x, y, width, height);
    label->setAlignment(alignment);
    if (sunken)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

namespace {

// The font a label was made with, kept on it so that every fitting starts from it.
constexpr const char* kMadeFont = "velcorMadeFont";

// Where a label draws its text, in the dialog's coordinates.
QRect TextArea(const QLabel* label)
{
    const int m = label->margin();
    return label->contentsRect().adjusted(m, m, -m, -m).translated(label->pos());
}

} // namespace

void TemplateDialog::FitStaticTexts()
{
    const QObjectList& stack = children(); // in creation order: later ones lie above
    for (qsizetype i = 0; i < stack.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(stack[i]);
        if (!label || label->isHidden() || label->text().isEmpty() || label->wordWrap())
            continue;
        const QVariant made = label->property(kMadeFont);
        if (made.isValid())
            label->setFont(made.value<QFont>());
        else
            label->setProperty(kMadeFont, label->font());
        const QString text = label->text();
        const int needed = label->fontMetrics().horizontalAdvance(text);

        // Controls above the label hide what lies under them: the text keeps clear.
        QRect area = TextArea(label);
        for (qsizetype j = i + 1; j < stack.size(); ++j) {
            auto* above = qobject_cast<QWidget*>(stack[j]);
            if (!above || above->isHidden() || !above->geometry().intersects(area))
                continue;
            if (above->x() > area.x())
                area.setRight(above->x() - 1);
            else
                area.setLeft(above->geometry().right() + 1);
        }

        // A plain text set flush left grows to the right into free space, up to the
        // dialog's margin and short of any control beside it.
        if (needed > area.width() && (label->alignment() & Qt::AlignLeft) && label->frameWidth() == 0 &&
            area.right() == TextArea(label).right()) {
            int limit = width() - m_du.X(7) - 1;
            for (QObject* object : stack) {
                auto* other = qobject_cast<QWidget*>(object);
                if (!other || other == label || other->isHidden() || other->x() <= area.x())
                    continue;
                const QRect g = other->geometry();
                if (g.top() <= label->geometry().bottom() && g.bottom() >= label->geometry().top())
                    limit = qMin(limit, g.left() - m_du.X(2));
            }
            const int grow = qMin(needed - area.width(), limit - area.right());
            if (grow > 0) {
                label->resize(label->width() + grow, label->height());
                area.setRight(area.right() + grow);
            }
        }

        // Whatever is still too wide takes a narrower or smaller face.
        if (needed > area.width()) {
            const FittedText fitted = FitText(label->font(), text, area.width());
            label->setFont(fitted.font);
            if (fitted.text != text)
                label->setText(fitted.text);
        }
    }
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Enter presses the push button that has the focus (ｷｬﾝｾﾙ cancels);
            // from anywhere else (an edit, a slider, a choice button) it is OK.
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            if (focused && !focused->isCheckable() && focused->isVisible()) {
                if (focused->isEnabled())
                    focused->click();
                return;
            }
            OnOK();
            return;
        }
    }
    QDialog::keyPressEvent(event); // Escape rejects
}

bool ParseDialogInteger(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size())
        return false;
    long long magnitude = 0;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max() || signedValue < std::numeric_limits<int>::min())
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

} // namespace platform
