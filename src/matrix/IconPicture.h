// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QIODevice;
class QPainter;

// One icon: decoded once, drawn stretched from a copy scaled to the last size asked for, in
// device pixels so that a high-density screen gets the detail it can show.
class IconPicture
{
public:
    // What a file holds, decoded with nothing that belongs to the GUI thread, so that
    // pictures can be read on another thread and handed over.
    struct Decoded
    {
        QImage image;
        QSize naturalSize{0, 0};
        // Whether the file holds more detail than was kept, within `bound` pixels a side.
        bool keptBelow(int bound) const;
    };
    // The largest cell, in pixels a side: just under two steps of 48.
    static constexpr int kLargestCell = 2 * 48 - 1;
    // What a picture is decoded to at most, a side, unless told otherwise: the largest cell on
    // a screen of device pixel ratio 2.
    static constexpr int kDefaultDecodeBound = 2 * kLargestCell;
    // The bound for screens of up to this device pixel ratio: more detail than the largest
    // cell shows there is never kept, and never less than the default.
    static int decodeBoundFor(qreal devicePixelRatio);

    // An empty result when the file cannot be opened or holds no picture. A larger picture
    // is decoded to at most `bound` pixels a side.
    static Decoded decodeFile(const QString& path, int bound = kDefaultDecodeBound);
    static Decoded decodeStream(QIODevice* device, int bound = kDefaultDecodeBound);
    // Looks the image plugins up now, on this thread; once found they serve every thread.
    static void findPlugins();

    IconPicture() = default;
    explicit IconPicture(Decoded decoded);

    // A file or a compiled-in picture (a ":/..." path); false when it cannot be opened or its
    // content is not a picture.
    bool LoadFromFile(const QString& path);
    // Decides the format from the content, never from a name. Drops any picture held first.
    bool LoadFromStream(QIODevice* device);

    // Stretches the whole picture into rect, proportions not kept. An all-zero rect means the
    // natural size at the top-left corner. An empty picture draws nothing.
    void Draw(QPainter& painter, const QRect& rect) const;

    // The size the file declares; what is kept may be smaller, never more than a cell needs.
    QSize GetPixelSize() const { return naturalSize; }
    bool isEmpty() const { return picture.isNull(); }
    // Whether the file holds more detail than was kept, within `bound` pixels a side: decoding
    // it again for that bound gives a sharper picture.
    bool keptBelow(int bound) const;
    const QImage& image() const { return picture; }

private:
    QImage picture;
    QSize naturalSize{0, 0};
    // All cells have one size, so one scaled copy serves a whole repaint.
    mutable QPixmap scaled;
    mutable QSize scaledFor;
};
