// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/resources.h"

#include <QString>

#include "platform/window_scale.h"

namespace platform {

QImage LoadResourceImage(int id) { return LoadResourceImage(id, QString()); }

QImage LoadResourceImage(int id, const QString& language)
{
    QImage image;
    if (!language.isEmpty())
        image.load(QStringLiteral(":/res/%1-%2.png").arg(id).arg(language));
    if (image.isNull())
        image.load(QStringLiteral(":/res/%1.png").arg(id));
    if (image.isNull())
        return image;
    // One pixel layout for every picture: 32-bit, blue green red in memory order.
    return image.convertToFormat(QImage::Format_RGB32);
}

QPixmap LoadResourcePixmap(int id) { return LoadResourcePixmap(id, WindowScale()); }

QPixmap LoadResourcePixmap(int id, qreal scale)
{
    const QImage image = LoadResourceImage(id);
    if (scale == 1 || image.isNull())
        return QPixmap::fromImage(image);
    // Whole steps without smoothing: every pixel becomes a square of pixels.
    return QPixmap::fromImage(image.scaled(image.size() * scale, Qt::IgnoreAspectRatio,
                                           WholeScale(scale) ? Qt::FastTransformation : Qt::SmoothTransformation));
}

} // namespace platform
