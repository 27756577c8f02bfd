// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/radio_group.h"

#include <algorithm>
#include <vector>

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace dialogs {

namespace {

// The checked button of a choice is drawn pressed in, on a darker face inside a dark
// frame, so that the choice made is plain to see; the others keep the style's look.
class RadioPushButton : public QPushButton {
public:
    RadioPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!isChecked()) {
            QPushButton::paintEvent(event);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.state |= QStyle::State_Sunken | QStyle::State_On;
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
        const QRect face = rect().adjusted(1, 1, -1, -1);
        painter.fillRect(face, kCheckedFace);
        painter.setPen(QPen(kCheckedFrame, 1));
        painter.drawRect(face.adjusted(0, 0, -1, -1));
        painter.drawRect(face.adjusted(1, 1, -2, -2));
        // The caption sits one pixel down and right, as on a pressed button.
        option.rect.translate(1, 1);
        painter.drawControl(QStyle::CE_PushButtonLabel, option);
    }

private:
    static inline const QColor kCheckedFace{150, 150, 150};
    static inline const QColor kCheckedFrame{48, 48, 48};
};

// The keys of a choice, watching the dialog and every control in it.
class ChoiceKeys : public QObject {
public:
    ChoiceKeys(QWidget* dialog, QButtonGroup* group) : QObject(dialog), m_group(group)
    {
        dialog->installEventFilter(this);
        for (QWidget* child : dialog->findChildren<QWidget*>())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        const int place = Target(key->key());
        if (place == -1)
            return false;
        m_group->button(place)->setChecked(true);
        return true;
    }

private:
    // The place a key checks, -1 when the key is not the choice's.
    int Target(int key) const
    {
        std::vector<int> places; // the choices shown and open, in order
        for (QAbstractButton* button : m_group->buttons())
            if (!button->isHidden() && button->isEnabled())
                places.push_back(m_group->id(button));
        std::sort(places.begin(), places.end());
        if (places.empty())
            return -1;
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            const int place = key - Qt::Key_1;
            return std::find(places.begin(), places.end(), place) != places.end() ? place : -1;
        }
        const int checked = CheckedPlace(m_group);
        switch (key) {
        case Qt::Key_Down:
        case Qt::Key_Right: {
            const auto next = std::upper_bound(places.begin(), places.end(), checked);
            return next != places.end() ? *next : places.front();
        }
        case Qt::Key_Up:
        case Qt::Key_Left: {
            const auto next = std::lower_bound(places.begin(), places.end(), checked);
            return checked != -1 && next != places.begin() ? *(next - 1) : places.back();
        }
        default:
            return -1;
        }
    }

    QButtonGroup* m_group;
};

} // namespace

void AddChoiceKeys(QWidget* dialog, QButtonGroup* group) { new ChoiceKeys(dialog, group); }

QPushButton* MakeRadioPushButton(QWidget* parent, QButtonGroup* group, int place, const QString& text)
{
    auto* button = new RadioPushButton(text, parent);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::ClickFocus);
    group->addButton(button, place);
    return button;
}

int CheckedPlace(const QButtonGroup* group)
{
    QAbstractButton* checked = group->checkedButton();
    return checked ? group->id(checked) : -1;
}

void CheckPlace(QButtonGroup* group, int place)
{
    // An exclusive group does not let its last checked button go: lift that for a
    // moment to clear all.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == place);
    group->setExclusive(true);
}

} // namespace dialogs
