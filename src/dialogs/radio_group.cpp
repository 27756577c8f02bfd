#include "dialogs/radio_group.h"

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

} // namespace

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
