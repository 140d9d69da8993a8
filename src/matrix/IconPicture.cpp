// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/IconPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

IconPicture::IconPicture(Decoded decoded)
    : picture(std::move(decoded.image)),
      naturalSize(picture.isNull() ? QSize(0, 0) : decoded.naturalSize)
{
}

bool IconPicture::LoadFromFile(const QString& path)
{
    *this = IconPicture(decodeFile(path));
    return !isEmpty();
}

bool IconPicture::LoadFromStream(QIODevice* device)
{
    *this = IconPicture(decodeStream(device));
    return !isEmpty();
}

IconPicture::Decoded IconPicture::decodeFile(const QString& path, int bound)
{
    // Only regular files: opening a named pipe waits for a writer, which would hang the start.
    if (!QFileInfo(path).isFile())
        return Decoded();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Decoded();
    return decodeStream(&file, bound);
}

namespace {

// A header claiming more is refused before anything is decoded: no camera takes more, and
// a tiny file may claim billions of pixels.
constexpr qint64 kMaxPixels = qint64(1) << 27;

// Naming the format saves Qt from asking every image plugin whether it knows the content;
// only the plugin that reads it is loaded.
QByteArray formatOf(QIODevice* device)
{
    const QByteArray head = device->peek(8);
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (head.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    return QByteArray();
}

} // namespace

void IconPicture::findPlugins()
{
    // Asking for one format finds them all; the GIF plugin is the quickest to load, and
    // nothing is read.
    QBuffer nothing;
    nothing.open(QIODevice::ReadOnly);
    QImageReader reader(&nothing, QByteArrayLiteral("gif"));
    reader.setAutoDetectImageFormat(false);
    reader.canRead();
}

int IconPicture::decodeBoundFor(qreal devicePixelRatio)
{
    // A ratio such as 2.5 needs the pixel its fraction starts.
    return std::max(kDefaultDecodeBound, int(std::ceil(devicePixelRatio * kLargestCell)));
}

bool IconPicture::Decoded::keptBelow(int bound) const
{
    if (image.isNull())
        return false;
    return image.width() < std::min(naturalSize.width(), bound) ||
           image.height() < std::min(naturalSize.height(), bound);
}

bool IconPicture::keptBelow(int bound) const
{
    return Decoded{picture, naturalSize}.keptBelow(bound);
}

IconPicture::Decoded IconPicture::decodeStream(QIODevice* device, int bound)
{
    // The name says nothing: "a.gif" may well hold a JPEG. Anything but the usual formats
    // still gets every reader Qt has.
    const QByteArray format = formatOf(device);
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(format.isEmpty());
    reader.setDecideFormatFromContent(format.isEmpty());
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        return Decoded();
    // A camera picture decodes straight to cell size (JPEG scales while decoding), so its
    // size costs neither the time nor the memory of all its pixels. Qt's allocation limit
    // still applies to what is decoded.
    const QSize bounded(std::min(size.width(), bound), std::min(size.height(), bound));
    if (bounded != size)
        reader.setScaledSize(bounded);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Decoded();
    const QImage::Format kept =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return Decoded{image.convertToFormat(kept), size};
}

void IconPicture::Draw(QPainter& painter, const QRect& rect) const
{
    if (picture.isNull())
        return;
    QRect target = rect;
    if (target == QRect())
        target = QRect(QPoint(0, 0), naturalSize);
    if (target.isEmpty())
        return;

    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
    // The same device size can stand for different logical sizes (96 pixels are a 96-pixel
    // cell at 1x but a 48-pixel one at 2x), so the ratio is part of the key.
    if (scaledFor != pixels || scaled.devicePixelRatio() != ratio) {
        // Smooth scaling is slow; it runs once per cell size, not once per cell and paint.
        // Scaling the original straight to device pixels keeps a 2x screen sharp.
        scaled = QPixmap::fromImage(
            picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled.setDevicePixelRatio(ratio);
        scaledFor = pixels;
    }
    painter.drawPixmap(target.topLeft(), scaled);
}
