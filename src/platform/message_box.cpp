#include "platform/message_box.h"

#include <QMessageBox>

#include "platform/window_scale.h"

namespace platform {

void ShowMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velcor"), text, QMessageBox::Ok, parent);
    if (const int scale = WindowScale(); scale > 1) {
        QFont font = box.font();
        if (font.pixelSize() > 0)
            font.setPixelSize(font.pixelSize() * scale);
        else
            font.setPointSizeF(font.pointSizeF() * scale);
        box.setFont(font);
    }
    box.exec();
}

} // namespace platform
