// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/language.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>

#include "platform/fonts.h"
#include "platform/settings.h"
#include "platform/window_scale.h"
#include "words/shown_text.h"

namespace {
const QString kJapanese = QStringLiteral("ja");
const QString kEnglish = QStringLiteral("en");
} // namespace

QString Language::FromLocale(const QString& localeName)
{
    return localeName.startsWith(kJapanese) ? kJapanese : kEnglish;
}

QString Language::Initial()
{
    const QString chosen = platform::settings::Language();
    if (!chosen.isEmpty())
        return chosen;
    // The languages the player reads, first first (LANGUAGE, then the locale's own).
    const QStringList languages = QLocale::system().uiLanguages();
    return FromLocale(languages.isEmpty() ? QLocale::system().name() : languages.constFirst());
}

Language::Language(QObject* parent) : QObject(parent) {}

Language::~Language()
{
    shown::SetRomanized(false);
    QLocale::setDefault(QLocale::system());
    platform::SetApplicationFamily(QString());
}

void Language::Apply(const QString& language)
{
    const QString wanted = language == kJapanese ? kJapanese : kEnglish;
    if (wanted == m_current)
        return;
    m_current = wanted;
    if (m_gameInstalled)
        QCoreApplication::removeTranslator(&m_game);
    if (m_qtbaseInstalled)
        QCoreApplication::removeTranslator(&m_qtbase);
    m_gameInstalled = m_qtbaseInstalled = false;
    shown::SetRomanized(wanted == kEnglish);
    // The menus and Qt's own windows in the face the platform gives the language, as a
    // game started in it has them: English text is not left in a Japanese face.
    platform::SetApplicationFamily(platform::InterfaceFamily(wanted));
    // Qt words some things by the default locale rather than by a translator (the file
    // dialog's file types): it speaks the game's language too.
    QLocale::setDefault(QLocale(wanted == kJapanese ? QLocale::Japanese : QLocale::English));
    // The texts are written in Japanese: only English needs the program's translation.
    if (wanted == kEnglish && m_game.load(QStringLiteral(":/i18n/velcor_en.qm")))
        m_gameInstalled = QCoreApplication::installTranslator(&m_game);
    // Qt's own texts are English as built; Japanese comes from Debian's Qt translations.
    if (wanted == kJapanese &&
        m_qtbase.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtbaseInstalled = QCoreApplication::installTranslator(&m_qtbase);
    // Without a translator to change, Qt would send no LanguageChange: the names still
    // change their language, so every window is told.
    if (!m_gameInstalled && !m_qtbaseInstalled) {
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    }
    if (m_japanese) {
        m_japanese->setChecked(wanted == kJapanese);
        m_english->setChecked(wanted == kEnglish);
    }
}

void Language::AddMenu(QMenu* menu)
{
    m_menu = menu->addMenu(QString());
    auto* group = new QActionGroup(m_menu);
    // Each language is named in its own words, whatever the language in use.
    m_japanese = m_menu->addAction(QStringLiteral("日本語"));
    m_english = m_menu->addAction(QStringLiteral("English"));
    for (QAction* action : {m_japanese, m_english}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    m_japanese->setChecked(m_current == kJapanese);
    m_english->setChecked(m_current == kEnglish);
    connect(m_japanese, &QAction::triggered, this, [this] {
        platform::settings::SetLanguage(kJapanese);
        Apply(kJapanese);
    });
    connect(m_english, &QAction::triggered, this, [this] {
        platform::settings::SetLanguage(kEnglish);
        Apply(kEnglish);
    });
    m_menu->installEventFilter(this);
    Retranslate();
}

void Language::Retranslate()
{
    if (m_menu)
        m_menu->setTitle(tr("言語(&G)"));
}

bool Language::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_menu && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
