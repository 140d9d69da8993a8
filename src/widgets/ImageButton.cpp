#include "widgets/ImageButton.h"

ImageButton::ImageButton(QWidget* parent) : QPushButton(parent) {}

ImageButton::~ImageButton() = default;

int ImageButton::setBitmapPair(const QImage* hot, QRgb, const QImage*, QRgb)
{
    if (hot && !hot->isNull())
        setIcon(QPixmap::fromImage(*hot));
    return 0;
}

int ImageButton::loadBitmapPair(const QString& hotResource, QRgb hotTransparent,
                                const QString&, QRgb)
{
    const QImage hot(hotResource);
    return setBitmapPair(hot.isNull() ? nullptr : &hot, hotTransparent);
}

void ImageButton::enableSeeThrough(bool) {}

void ImageButton::setTooltip(const QString& text, bool)
{
    if (!text.isNull())
        setToolTip(text);
}
