// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>

#include <array>

class QLabel;
class QPainter;
class QTimer;

// A flat push button that draws a picture pair with a transparency colour, outlines itself
// while hovered or pressed, can copy its parent's pixels as its background, and carries a
// word-wrapping tooltip of its own.
class ImageButton : public QPushButton
{
    Q_OBJECT

public:
    // Results of setBitmapPair / loadBitmapPair.
    static constexpr int kDone = 0;
    static constexpr int kInvalidPicture = 1;
    static constexpr int kMaskFailed = 2;

    explicit ImageButton(QWidget* parent = nullptr);
    ~ImageButton() override;

    // The hot picture shows while hovered or pressed, the rest picture otherwise (the hot one
    // when there is no rest picture). Pixels of the transparency colour let the background
    // through. A null pointer means "no picture"; a null QImage is an invalid picture. On any
    // failure the button is left without pictures.
    int setBitmapPair(const QImage* hot, QRgb hotTransparent, const QImage* rest = nullptr,
                      QRgb restTransparent = 0);
    // Same, loading files or Qt resource paths (e.g. ":/buttons/ok.png"); an empty path or one
    // that cannot be read counts as no picture.
    int loadBitmapPair(const QString& hotResource, QRgb hotTransparent,
                       const QString& restResource = QString(), QRgb restTransparent = 0);
    // Paints a copy of the parent's pixels behind the button as its background. The copy is
    // taken at the next paint and kept (also when the button moves) until the palette changes
    // or this is called again.
    void enableSeeThrough(bool repaint);
    // A null text does nothing. The first call fixes the area the tip reacts to: the button's
    // rectangle at that moment, or when it is first shown if it has not been shown yet. Later
    // calls only replace the text and the active flag.
    void setTooltip(const QString& text, bool activate);
    // Reads the face and text colours of every state from the palette again.
    void resetColours(bool repaint);

    bool isHot() const { return hot; }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // Fills the rectangle with the face colour of the current state.
    void paintBackground(QPainter& painter, const QRect& rect);
    // Draws the one-pixel outline: raised while hot, sunken while pressed.
    void paintBorder(QPainter& painter, const QRect& rect);

    struct Picture
    {
        QPixmap pixmap; // already carries the transparency as its mask
        QPixmap sharp;  // the same at twice the resolution, for high-density screens; optional
        int width = 0;
        int height = 0;
        // Where the sharp copy is still to be read from, once a high-density screen needs it.
        QString sharpSource;
        QRgb sharpTransparent = 0;
    };

    static QPixmap makeMask(const QImage& image, QRgb transparent);
    static int assignPicture(Picture& entry, const QImage& image, QRgb transparent);
    static void attachSharpPicture(Picture& entry, const QString& path, QRgb transparent);
    static void readSharpPicture(Picture& entry);
    void releasePictures();
    const Picture* currentPicture() const;
    QRect placePicture(bool hasText, const QRect& r, QRect& caption, int w, int h) const;
    void paintCaption(QPainter& painter, QRect caption, const QString& text) const;
    void paintSnapshot(QPainter& painter);
    static void paintFocusRect(QImage& canvas, const QRect& rect);

    void trackHover(const QPoint& pos, Qt::MouseButtons buttons);
    void cancelHover();

    void ensureTooltip();
    void showTooltip(const QPoint& globalPos);
    void hideTooltip();

    bool hot = false;
    bool seeThrough = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    QColor hotBackColour;
    QColor hotTextColour;
    QColor restBackColour;
    QColor restTextColour;
    QColor focusBackColour;
    QLabel* tooltip = nullptr;
    QTimer* tooltipTimer = nullptr;
    QString tooltipText;
    QRect tooltipArea;
    bool tooltipAreaProvisional = false;
    bool tooltipActive = false;
    QPixmap snapshot;
    std::array<Picture, 2> bitmaps;
};
