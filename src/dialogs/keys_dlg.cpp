// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/keys_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QtMath>

#include "platform/fonts.h"

namespace {

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
    // below it at the right.
    const int margin = Du().X(7);
    const QSize button = Du().Size(50, 14);
    const int width = list->x() + list->width() + margin;
    const int height = list->y() + list->height() + Du().Y(7) + button.height() + Du().Y(7);
    setFixedSize(width, height);
    QPushButton* ok = AddPushButton(QStringLiteral("OK"), 0, 0, 50, 14, true);
    ok->move(width - margin - button.width(), height - Du().Y(7) - button.height());
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}
