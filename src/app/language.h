// SPDX-License-Identifier: GPL-3.0-or-later
// The language of the windows: Japanese (the game's own texts) or English. It follows
// the system's locale until the player chooses one in 表示 → 言語; the choice is kept in
// the settings and takes effect at once: the translators change, Qt sends every window a
// LanguageChange event and each sets its texts again. Qt's own dialogs (the file dialog,
// context menus) speak the same language through Qt's translations.
#pragma once

#include <QObject>
#include <QString>
#include <QTranslator>

class QAction;
class QMenu;

class Language : public QObject {
    Q_OBJECT

public:
    // "ja" or "en".
    static QString FromLocale(const QString& localeName);
    // The settings' choice, else the system's.
    static QString Initial();

    explicit Language(QObject* parent = nullptr);
    // The translators leave with it; names are shown as written again.
    ~Language() override;

    // Installs the translators of language ("ja" or "en"; anything else is English). The
    // first call comes before any window is made.
    void Apply(const QString& language);
    QString Current() const { return m_current; }

    // Adds 言語 → 日本語 / English to menu; a choice is applied and remembered.
    void AddMenu(QMenu* menu);

private:
    void Retranslate();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QString m_current;
    QTranslator m_game;   // the program's English texts
    QTranslator m_qtbase; // Qt's own texts in the language in use
    bool m_gameInstalled = false;
    bool m_qtbaseInstalled = false;
    QMenu* m_menu = nullptr;
    QAction* m_japanese = nullptr;
    QAction* m_english = nullptr;
};
