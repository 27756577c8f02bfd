#include "dialogs/radio_group.h"

namespace dialogs {

QPushButton* MakeRadioPushButton(QWidget* parent, QButtonGroup* group, int place, const QString& text)
{
    auto* button = new QPushButton(text, parent);
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
