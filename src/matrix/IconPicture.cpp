#include "matrix/IconPicture.h"

#include <QFile>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>

bool IconPicture::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return LoadFromStream(&file);
}

bool IconPicture::LoadFromResource(const QString& resourcePath)
{
    return LoadFromFile(resourcePath);
}

bool IconPicture::LoadFromStream(QIODevice* device)
{
    picture = QImage();
    scaled = QPixmap();
    scaledFor = QSize();

    QImageReader reader(device);
    // The name says nothing: "a.gif" may well hold a JPEG. Qt's allocation limit stays in
    // force, so a header claiming a gigantic size is refused instead of decoded.
    reader.setDecideFormatFromContent(true);
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return false;
    picture = decoded.convertToFormat(
        decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return true;
}

void IconPicture::Draw(QPainter& painter, const QRect& rect) const
{
    if (picture.isNull())
        return;
    QRect target = rect;
    if (target == QRect())
        target = QRect(QPoint(0, 0), picture.size());
    if (target.isEmpty())
        return;

    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
    if (scaledFor != pixels) {
        // Smooth scaling is slow; it runs once per cell size, not once per cell and paint.
        scaled = QPixmap::fromImage(
            picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled.setDevicePixelRatio(ratio);
        scaledFor = pixels;
    }
    painter.drawPixmap(target.topLeft(), scaled);
}
