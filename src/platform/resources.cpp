#include "platform/resources.h"

#include <QString>

namespace platform {

QImage LoadResourceImage(int id)
{
    QImage image(QStringLiteral(":/res/%1.png").arg(id));
    if (image.isNull())
        return image;
    // One pixel layout for every picture: 32-bit, blue green red in memory order.
    return image.convertToFormat(QImage::Format_RGB32);
}

QPixmap LoadResourcePixmap(int id)
{
    return QPixmap::fromImage(LoadResourceImage(id));
}

} // namespace platform
