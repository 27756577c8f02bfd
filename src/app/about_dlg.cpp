// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "platform/fonts.h"

CAboutDlg::CAboutDlg(QWidget* owner)
    : TemplateDialog(owner, tr("ﾊﾞｰｼﾞｮﾝ情報"), 235, 55, platform::Font(platform::GameFont::Dialog))
{
    QLabel* icon = AddText(QString(), 11, 17, 20, 20);
    icon->setPixmap(QIcon(QStringLiteral(":/res/128-32.png")).pixmap(32, 32));
    QLabel* version = AddText(QStringLiteral("Velcor Version " VELCOR_VERSION), 40, 10, 119, 8);
    version->setTextFormat(Qt::PlainText);
    version->setObjectName(QStringLiteral("version"));
    // Wide enough for the whole line: it reaches to the OK button's column.
    AddText(QStringLiteral("Copyright (C) 2026 Velcor developers"), 40, 25, 134, 8)->setTextFormat(Qt::PlainText);
    QPushButton* ok = AddPushButton(QStringLiteral("OK"), 178, 7, 50, 14, true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
