// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/ImageButton.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolTip>

#include <utility>

namespace {

constexpr int kPictureInset = 3;
constexpr int kFocusInset = 3;
constexpr int kTooltipWrapWidth = 400;
constexpr int kTooltipMargin = 2;
// Where the tip appears relative to the pointer: below the cursor's hot spot.
constexpr QPoint kTooltipOffset(2, 16);
constexpr QRgb kRgbBits = 0x00ffffff;

// Wrapped at word breaks and centred line by line. A word wider than the area keeps a line of
// its own, so the measured box can be wider than the area.
constexpr int kCaptionFlags = Qt::TextWordWrap | Qt::AlignHCenter;

QImage readPicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    if (path.startsWith(QLatin1String(":/"))) {
        // Compiled-in pictures are what their names say. Naming the format spares asking
        // every image plugin about the content, which loads them all.
        reader.setFormat(QFileInfo(path).suffix().toLatin1());
        reader.setAutoDetectImageFormat(false);
    } else {
        reader.setDecideFormatFromContent(true);
    }
    return reader.read();
}

} // namespace

ImageButton::ImageButton(QWidget* parent) : QPushButton(parent)
{
    // Hover is tracked from plain pointer moves, not only from moves with a button held.
    setMouseTracking(true);
    // Every paint covers the whole button, with the face colour or the snapshot.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resetColours(false);
}

ImageButton::~ImageButton() = default;

int ImageButton::setBitmapPair(const QImage* hotImage, QRgb hotTransparent, const QImage* restImage,
                               QRgb restTransparent)
{
    releasePictures();
    int result = kDone;
    if (hotImage) {
        result = assignPicture(bitmaps[0], *hotImage, hotTransparent);
        if (result == kDone && restImage)
            result = assignPicture(bitmaps[1], *restImage, restTransparent);
        if (result != kDone)
            releasePictures();
    }
    update();
    return result;
}

int ImageButton::loadBitmapPair(const QString& hotResource, QRgb hotTransparent,
                                const QString& restResource, QRgb restTransparent)
{
    const QImage hotImage = readPicture(hotResource);
    const QImage restImage = readPicture(restResource);
    const int result = setBitmapPair(hotImage.isNull() ? nullptr : &hotImage, hotTransparent,
                                     restImage.isNull() ? nullptr : &restImage, restTransparent);
    if (result == kDone) {
        bitmaps[0].sharpSource = hotResource;
        bitmaps[0].sharpTransparent = hotTransparent;
        bitmaps[1].sharpSource = restResource;
        bitmaps[1].sharpTransparent = restTransparent;
    }
    return result;
}

void ImageButton::enableSeeThrough(bool repaint)
{
    seeThrough = true;
    snapshot = QPixmap();
    if (repaint)
        update();
}

void ImageButton::setTooltip(const QString& text, bool activate)
{
    if (text.isNull())
        return;
    ensureTooltip();
    if (tooltipArea.isNull()) {
        tooltipArea = rect();
        // A dialog still being built may not have given the button its final size yet.
        tooltipAreaProvisional = !isVisible();
    }
    tooltipText = text;
    tooltipActive = activate;
    if (tooltip->isVisible()) {
        if (activate)
            showTooltip(QCursor::pos());
        else
            hideTooltip();
    }
}

void ImageButton::resetColours(bool repaint)
{
    const QPalette& colours = palette();
    hotBackColour = colours.color(QPalette::Button);
    restBackColour = hotBackColour;
    focusBackColour = hotBackColour;
    hotTextColour = colours.color(QPalette::ButtonText);
    restTextColour = hotTextColour;
    if (repaint)
        update();
}

void ImageButton::paintBackground(QPainter& painter, const QRect& rect)
{
    QColor face = restBackColour;
    if (hot || pressed)
        face = hotBackColour;
    else if (focused)
        face = focusBackColour;
    painter.fillRect(rect, face);
}

void ImageButton::paintBorder(QPainter& painter, const QRect& rect)
{
    // Read at every paint so that the outline follows palette changes.
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor topLeft = pressed ? dark : light;
    const QColor bottomRight = pressed ? light : dark;
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    // The top and left edges stop one pixel short; the right and bottom ones run the full
    // length and own the corners they share with them.
    painter.fillRect(x, y, w - 1, 1, topLeft);
    painter.fillRect(x, y, 1, h - 1, topLeft);
    painter.fillRect(x + w - 1, y, 1, h, bottomRight);
    painter.fillRect(x, y + h - 1, w, 1, bottomRight);
}

bool ImageButton::event(QEvent* e)
{
    // Children hear of their window losing activation through this event.
    if (e->type() == QEvent::WindowDeactivate) {
        hideTooltip();
        cancelHover();
    }
    if (e->type() == QEvent::ToolTip && tooltip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        if (tooltipActive && tooltipArea.contains(help->pos()))
            showTooltip(help->globalPos());
        else
            hideTooltip();
        return true;
    }
    return QPushButton::event(e);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    pressed = isDown();
    focused = hasFocus();
    disabled = !isEnabled();

    // Drawn off screen first: the focus rectangle inverts the finished pixels below it.
    const qreal ratio = devicePixelRatioF();
    QImage canvas(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    const QRect r = rect();
    {
        QPainter painter(&canvas);
        painter.setFont(font());
        if (seeThrough)
            paintSnapshot(painter);
        else
            paintBackground(painter, r);
        if (pressed || hot)
            paintBorder(painter, r);

        QRect caption = r;
        const QString captionText = text();
        if (ratio > 1.0) {
            readSharpPicture(bitmaps[0]);
            readSharpPicture(bitmaps[1]);
        }
        if (const Picture* picture = currentPicture()) {
            const QRect place =
                placePicture(!captionText.isEmpty(), r, caption, picture->width, picture->height);
            const bool useSharp = ratio > 1.0 && !picture->sharp.isNull();
            painter.drawPixmap(place.topLeft(), useSharp ? picture->sharp : picture->pixmap);
        }
        if (!captionText.isEmpty())
            paintCaption(painter, caption, captionText);
    }
    if (focused)
        paintFocusRect(canvas, r.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset));
    QPainter(this).drawImage(0, 0, canvas);
}

void ImageButton::mousePressEvent(QMouseEvent* e)
{
    hideTooltip();
    QPushButton::mousePressEvent(e);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    // Qt reports the second click of a double click only as this event: taken as a press, it
    // gives a second clicked() like any click.
    mousePressEvent(e);
}

void ImageButton::mouseMoveEvent(QMouseEvent* e)
{
    QPushButton::mouseMoveEvent(e);
    const QPoint pos = e->position().toPoint();
    trackHover(pos, e->buttons());
    if (tooltip && tooltip->isVisible() && !tooltipArea.contains(pos))
        hideTooltip();
    // The button keeps its pointer moves, as a native child window would.
    e->accept();
}

void ImageButton::enterEvent(QEnterEvent* e)
{
    QPushButton::enterEvent(e);
    trackHover(e->position().toPoint(), QGuiApplication::mouseButtons());
}

void ImageButton::leaveEvent(QEvent* e)
{
    QPushButton::leaveEvent(e);
    hideTooltip();
    cancelHover();
}

void ImageButton::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    cancelHover();
}

void ImageButton::showEvent(QShowEvent* e)
{
    QPushButton::showEvent(e);
    if (tooltipAreaProvisional) {
        tooltipArea = rect();
        tooltipAreaProvisional = false;
    }
}

void ImageButton::hideEvent(QHideEvent* e)
{
    QPushButton::hideEvent(e);
    hideTooltip();
    cancelHover();
}

void ImageButton::changeEvent(QEvent* e)
{
    QPushButton::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        // Qt has already passed the focus on to the next tab stop if this button had it.
        if (!isEnabled()) {
            hideTooltip();
            cancelHover();
        }
        break;
    case QEvent::PaletteChange:
        // The backdrop's colours may have changed with the palette: copy it again.
        snapshot = QPixmap();
        update();
        break;
    default:
        break;
    }
}

QPixmap ImageButton::makeMask(const QImage& image, QRgb transparent)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    if (masked.isNull())
        return {};
    const QRgb key = transparent & kRgbBits;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & kRgbBits) == key)
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(std::move(masked));
}

int ImageButton::assignPicture(Picture& entry, const QImage& image, QRgb transparent)
{
    if (image.isNull())
        return kInvalidPicture;
    QPixmap pixmap = makeMask(image, transparent);
    if (pixmap.isNull())
        return kMaskFailed;
    // One picture pixel per logical pixel, whatever scale the file may have declared.
    pixmap.setDevicePixelRatio(1.0);
    entry = Picture{std::move(pixmap), QPixmap(), image.width(), image.height(), QString(), 0};
    return kDone;
}

// A picture file may have a companion at twice the resolution, named with "@2x" before the
// extension ("ok@2x.png"). It is drawn in the same logical size, so placement stays the same.
void ImageButton::attachSharpPicture(Picture& entry, const QString& path, QRgb transparent)
{
    if (entry.pixmap.isNull() || path.isEmpty())
        return;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return;
    const QImage image = readPicture(path.left(dot) + QStringLiteral("@2x") + path.mid(dot));
    if (image.width() != 2 * entry.width || image.height() != 2 * entry.height)
        return;
    QPixmap sharp = makeMask(image, transparent);
    sharp.setDevicePixelRatio(2.0);
    entry.sharp = std::move(sharp);
}

void ImageButton::readSharpPicture(Picture& entry)
{
    // Tried once: a missing copy is not looked for at every paint.
    const QString source = std::exchange(entry.sharpSource, QString());
    if (!source.isEmpty())
        attachSharpPicture(entry, source, entry.sharpTransparent);
}

void ImageButton::releasePictures()
{
    bitmaps = {};
}

const ImageButton::Picture* ImageButton::currentPicture() const
{
    if (bitmaps[0].pixmap.isNull())
        return nullptr;
    if (!pressed && !hot && !bitmaps[1].pixmap.isNull())
        return &bitmaps[1];
    return &bitmaps[0];
}

QRect ImageButton::placePicture(bool hasText, const QRect& r, QRect& caption, int w, int h) const
{
    QPoint topLeft = r.topLeft();
    if (hasText) {
        topLeft.rx() += kPictureInset;
        caption.setLeft(caption.left() + w + kPictureInset);
    } else {
        // A picture wider than the button is centred too and cut off on both sides.
        topLeft.rx() += (r.width() - w) / 2;
    }
    topLeft.ry() += (r.height() - h) / 2;
    if (pressed)
        topLeft += QPoint(1, 1);
    return QRect(topLeft, QSize(w, h));
}

void ImageButton::paintCaption(QPainter& painter, QRect caption, const QString& text) const
{
    if (pressed)
        caption.translate(1, 1);
    const QRect area = caption;
    const QSize measured = painter.fontMetrics()
                               .boundingRect(QRect(0, 0, area.width(), 0), kCaptionFlags, text)
                               .size();
    caption = QRect(area.topLeft(), measured);
    caption.translate((area.width() - caption.width()) / 2, (area.height() - caption.height()) / 2);

    // No mnemonic handling: a password containing '&' must show every character as it is.
    const int flags = kCaptionFlags | Qt::TextDontClip;
    if (disabled) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(caption.translated(1, 1), flags, text);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(caption, flags, text);
    } else {
        painter.setPen(hot || pressed ? hotTextColour : restTextColour);
        painter.drawText(caption, flags, text);
    }
}

void ImageButton::paintSnapshot(QPainter& painter)
{
    QWidget* parent = parentWidget();
    if (!parent) {
        paintBackground(painter, rect());
        return;
    }
    if (snapshot.isNull()) {
        const qreal ratio = devicePixelRatioF();
        QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(parent->palette().color(parent->backgroundRole()));
        // Only the parent's own painting: rendering its children would include this button.
        parent->render(&image, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        snapshot = QPixmap::fromImage(std::move(image));
    }
    painter.drawPixmap(0, 0, snapshot);
}

void ImageButton::paintFocusRect(QImage& canvas, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // Every other pixel of the outline inverted, so that it shows on any backdrop.
    const qreal ratio = canvas.devicePixelRatio();
    const auto dot = [&canvas, ratio](int x, int y) {
        if (((x + y) & 1) != 0)
            return;
        const QRect pixels =
            QRectF(x * ratio, y * ratio, ratio, ratio).toAlignedRect() & canvas.rect();
        for (int py = pixels.top(); py <= pixels.bottom(); ++py) {
            auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(py));
            for (int px = pixels.left(); px <= pixels.right(); ++px)
                line[px] ^= kRgbBits;
        }
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        dot(x, rect.top());
        if (rect.bottom() != rect.top())
            dot(x, rect.bottom());
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        dot(rect.left(), y);
        if (rect.right() != rect.left())
            dot(rect.right(), y);
    }
}

void ImageButton::trackHover(const QPoint& pos, Qt::MouseButtons buttons)
{
    // A press that began elsewhere, or a drag back onto the button, never lights it up.
    if ((buttons & Qt::LeftButton) && !hot)
        return;
    const bool active = QApplication::activeWindow() != nullptr;
    if (active && rect().contains(pos)) {
        if (hot)
            return;
        hot = true;
        update();
    } else {
        cancelHover();
    }
}

void ImageButton::cancelHover()
{
    if (!hot)
        return;
    hot = false;
    update();
}

void ImageButton::ensureTooltip()
{
    if (tooltip)
        return;
    tooltip = new QLabel(this, Qt::ToolTip | Qt::BypassGraphicsProxyWidget);
    tooltip->setObjectName(QStringLiteral("imageButtonTooltip"));
    tooltip->setTextFormat(Qt::PlainText);
    tooltip->setWordWrap(true);
    tooltip->setPalette(QToolTip::palette());
    tooltip->setFont(QToolTip::font());
    tooltip->setForegroundRole(QPalette::ToolTipText);
    tooltip->setBackgroundRole(QPalette::ToolTipBase);
    tooltip->setAutoFillBackground(true);
    tooltip->setFrameStyle(QFrame::Box | QFrame::Plain);
    tooltip->setMargin(kTooltipMargin);
    tooltipTimer = new QTimer(this);
    tooltipTimer->setSingleShot(true);
    connect(tooltipTimer, &QTimer::timeout, this, &ImageButton::hideTooltip);
}

void ImageButton::showTooltip(const QPoint& globalPos)
{
    tooltip->setText(tooltipText);
    const QFontMetrics metrics(tooltip->font());
    const QSize textSize =
        metrics.boundingRect(QRect(0, 0, kTooltipWrapWidth, 0), Qt::TextWordWrap, tooltipText)
            .size();
    const int frame = tooltip->frameWidth() + tooltip->margin();
    const QSize tipSize = textSize + QSize(2 * frame, 2 * frame);
    tooltip->resize(tipSize);

    QPoint at = globalPos + kTooltipOffset;
    const QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = this->screen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        if (at.x() + tipSize.width() > avail.right() + 1)
            at.setX(avail.right() + 1 - tipSize.width());
        if (at.x() < avail.left())
            at.setX(avail.left());
        if (at.y() + tipSize.height() > avail.bottom() + 1)
            at.setY(globalPos.y() - tipSize.height() - 4);
    }
    tooltip->move(at);
    tooltip->show();
    // As long as a reader needs: ten seconds, longer for long texts.
    tooltipTimer->start(10000 + 40 * std::max(0, int(tooltipText.size()) - 100));
}

void ImageButton::hideTooltip()
{
    if (tooltip)
        tooltip->hide();
    if (tooltipTimer)
        tooltipTimer->stop();
}
