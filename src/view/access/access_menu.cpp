// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/access/access_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

#include "platform/settings.h"
#include "view/access/announcer.h"
#include "view/access/high_contrast.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"

namespace accessible {

namespace {

// Words the commands again when the language changes.
class Wording : public QObject {
public:
    Wording(QMenu& menu, QAction& list, QAction& repeat, QAction& rounds, QAction& contrast)
        : QObject(&menu), m_list(list), m_repeat(repeat), m_rounds(rounds), m_contrast(contrast)
    {
        menu.installEventFilter(this);
        Word();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            Word();
        return QObject::eventFilter(watched, event);
    }

private:
    void Word()
    {
        m_list.setText(QCoreApplication::translate("AccessMenu", "国一覧へ(&K)"));
        m_repeat.setText(QCoreApplication::translate("AccessMenu", "案内をもう一度(&L)"));
        m_rounds.setText(QCoreApplication::translate("AccessMenu", "戦いの経過(&W)"));
        m_contrast.setText(QCoreApplication::translate("AccessMenu", "ﾊｲｺﾝﾄﾗｽﾄ(&H)"));
    }

    QAction& m_list;
    QAction& m_repeat;
    QAction& m_rounds;
    QAction& m_contrast;
};

} // namespace

void AddAccessCommands(QMenu& menu, CKivView& view)
{
    menu.addSeparator();
    QAction* list = menu.addAction(QString());
    list->setShortcut(CommandTable::CountryListKey());
    QObject::connect(list, &QAction::triggered, &view, [&view] {
        // From any window: the map's window comes forward with the keys on its list.
        view.window()->raise();
        view.window()->activateWindow();
        view.setFocus(Qt::ShortcutFocusReason);
        view.Announce().FocusCursor();
    });
    QAction* repeat = menu.addAction(QString());
    repeat->setShortcut(CommandTable::RepeatKey());
    QObject::connect(repeat, &QAction::triggered, &view, [&view] { view.Announce().Repeat(); });
    QAction* rounds = menu.addAction(QString());
    rounds->setShortcut(CommandTable::RoundsKey());
    QObject::connect(rounds, &QAction::triggered, &view, [&view] { view.Announce().TellRounds(); });
    QAction* contrast = menu.addAction(QString());
    contrast->setCheckable(true);
    contrast->setChecked(platform::settings::HighContrast());
    if (contrast->isChecked())
        UseHighContrast(true);
    QObject::connect(contrast, &QAction::toggled, &view, [](bool on) {
        platform::settings::SetHighContrast(on);
        UseHighContrast(on);
    });
    new Wording(menu, *list, *repeat, *rounds, *contrast);
}

} // namespace accessible
