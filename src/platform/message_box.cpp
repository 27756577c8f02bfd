#include "platform/message_box.h"

#include <QMessageBox>

namespace platform {

void ShowMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velcor"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace platform
