// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

// A GIF of one colour, written by hand since Qt only reads GIF. Its header may claim a larger
// logical screen (and frame) than the one pixel it holds: frame defaults to the screen size.
inline QByteArray gifBytes(QColor colour, QSize screen = QSize(1, 1), QSize frame = QSize())
{
    if (!frame.isValid())
        frame = screen;
    QByteArray gif("GIF89a");
    const auto put16 = [&gif](int v) {
        gif.append(char(v & 0xff));
        gif.append(char((v >> 8) & 0xff));
    };
    put16(screen.width());
    put16(screen.height());
    gif.append("\x80\x00\x00", 3); // global table of 2 colours
    gif.append(char(colour.red())).append(char(colour.green())).append(char(colour.blue()));
    gif.append("\x00\x00\x00", 3);
    gif.append(',');
    put16(0);
    put16(0);
    put16(frame.width());
    put16(frame.height());
    gif.append("\x00\x02\x02\x44\x01\x00;", 7); // LZW: clear, colour 0, end
    return gif;
}

// A small JPEG of one colour.
inline QByteArray jpegBytes(QColor colour, int side = 8)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 100);
    return bytes;
}
