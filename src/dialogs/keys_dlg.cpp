// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/keys_dlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QtMath>

#include <climits>

#include "platform/fonts.h"

namespace {

// What the window manager's frame takes above and below a window, at most.
constexpr int kFrameRoom = 40;

QString Cell(const QString& text) { return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")); }

} // namespace

KeysDialog::KeysDialog(const std::vector<KeyHelp>& keys, QWidget* owner)
    : TemplateDialog(owner, tr(kTitle), 300, 200, platform::Font(platform::GameFont::Dialog))
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const KeyHelp& key : keys)
        html += QStringLiteral("<tr><td style=\"padding-right:12px\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(Cell(key.keys), Cell(key.action));
    html += QStringLiteral("</table>");
    QLabel* list = AddText(QString(), 7, 7, 10, 10);
    list->setObjectName(QStringLiteral("keys"));
    list->setTextFormat(Qt::RichText);
    list->setWordWrap(true); // laid out as a table, never squeezed onto one line
    list->setText(html);
    // The list takes the size its table needs.
    QTextDocument layout;
    layout.setDefaultFont(list->font());
    layout.setHtml(html);
    layout.setTextWidth(layout.idealWidth());
    list->resize(qCeil(layout.idealWidth()) + 2, qCeil(layout.size().height()) + 2);

    // The window takes the list's size, with the dialog's margins and the OK button
    // below it at the right. Where the screen is not tall enough for the whole list (a
    // laptop's, at a larger zoom), the list scrolls within the height there is.
    const int margin = Du().X(7);
    const QSize button = Du().Size(50, 14);
    const int below = Du().Y(7) + button.height() + Du().Y(7);
    const QScreen* screen = owner ? QGuiApplication::screenAt(owner->window()->frameGeometry().center()) : nullptr;
    if (!screen)
        screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().height() - list->y() - below - kFrameRoom : INT_MAX;
    QWidget* shown = list;
    if (list->height() > room) {
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("keysScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->move(list->pos());
        scroll->setWidget(list);
        scroll->resize(list->width() + scroll->verticalScrollBar()->sizeHint().width(), room);
        shown = scroll;
    }
    const int width = shown->x() + shown->width() + margin;
    const int height = shown->y() + shown->height() + below;
    setFixedSize(width, height);
    QPushButton* ok = AddPushButton(QStringLiteral("OK"), 0, 0, 50, 14, true);
    ok->move(width - margin - button.width(), height - Du().Y(7) - button.height());
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}
