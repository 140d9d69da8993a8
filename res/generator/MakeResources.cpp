// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the built-in pictures, the button pictures and the program icon into a folder.
// The output is committed under res/; run this again only to change the artwork:
//   cmake --build build --target glyphlock_make_resources
//   build/res/generator/glyphlock_make_resources res
// Everything is drawn with paths (no fonts), so the result does not depend on the machine.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

// Each picture is drawn on a 48 x 48 canvas; the painter is scaled for other sizes.
using Drawer = std::function<void(QPainter&)>;

void drawSun(QPainter& p)
{
    p.setPen(QPen(QColor(255, 200, 0), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4;
        p.drawLine(QPointF(24 + 13 * qCos(a), 24 + 13 * qSin(a)),
                   QPointF(24 + 21 * qCos(a), 24 + 21 * qSin(a)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 40));
    p.drawEllipse(QPointF(24, 24), 10, 10);
}

void drawMoon(QPainter& p)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(22, 24), 17, 17);
    QPainterPath bite;
    bite.addEllipse(QPointF(31, 18), 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 225, 255));
    p.drawPath(disc.subtracted(bite));
    p.setBrush(QColor(255, 255, 180));
    p.drawEllipse(QPointF(37, 34), 2.5, 2.5);
}

void drawKey(QPainter& p)
{
    const QColor gold(230, 170, 40);
    p.setPen(QPen(gold, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(14, 24), 8, 8);
    p.drawLine(QPointF(22, 24), QPointF(42, 24));
    p.setPen(QPen(gold, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(36, 24), QPointF(36, 33));
    p.drawLine(QPointF(42, 22), QPointF(42, 33));
}

void drawTree(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 80, 30));
    p.drawRect(QRectF(21, 34, 6, 11));
    p.setBrush(QColor(40, 190, 60));
    const QPointF crown[] = {{24, 3}, {41, 36}, {7, 36}};
    p.drawPolygon(crown, 3);
}

void drawHeart(QPainter& p)
{
    QPainterPath heart;
    heart.moveTo(24, 42);
    heart.cubicTo(4, 28, 2, 12, 14, 9);
    heart.cubicTo(20, 8, 23, 12, 24, 16);
    heart.cubicTo(25, 12, 28, 8, 34, 9);
    heart.cubicTo(46, 12, 44, 28, 24, 42);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 30, 50));
    p.drawPath(heart);
}

void drawFish(QPainter& p)
{
    QPainterPath body;
    body.moveTo(6, 24);
    body.cubicTo(14, 10, 30, 10, 36, 24);
    body.cubicTo(30, 38, 14, 38, 6, 24);
    QPainterPath tail;
    tail.moveTo(34, 24);
    tail.lineTo(45, 14);
    tail.lineTo(45, 34);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 255));
    p.drawPath(body.united(tail));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(14, 22), 2.5, 2.5);
}

QImage render(const Drawer& draw, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    draw(p);
    return image;
}

// Button pictures: green on black, black being the transparency colour. Antialiasing stays
// off so that no dark-green fringe survives the transparency mask.
void drawOk(QPainter& p)
{
    p.setPen(QPen(QColor(0, 255, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(3, 9, 11, 14));
    p.drawLine(QPointF(19, 9), QPointF(19, 23));
    p.drawLine(QPointF(28, 9), QPointF(21, 16));
    p.drawLine(QPointF(22, 15), QPointF(29, 23));
}

void drawQuestion(QPainter& p)
{
    p.setPen(QPen(QColor(0, 255, 0), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10, 4, 12, 11), 180 * 16, -250 * 16);
    p.drawLine(QPointF(16, 15), QPointF(16, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 255, 0));
    p.drawRect(QRectF(14, 23, 4, 4));
}

// scale 2 gives the copy that high-density screens draw in the same 32 x 32 logical pixels.
QImage renderButton(const Drawer& draw, int scale = 1)
{
    QImage image(32 * scale, 32 * scale, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.scale(scale, scale);
    draw(p);
    return image;
}

// The program icon: four of the pictures in a grid on a dark tile.
QImage renderAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    p.setPen(QPen(QColor(0, 200, 0), 1.5));
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(1, 1, 46, 46), 6, 6);
    const Drawer pictures[] = {drawSun, drawKey, drawHeart, drawFish};
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(4 + (i % 2) * 20, 4 + (i / 2) * 20);
        p.scale(20 / 48.0, 20 / 48.0);
        pictures[i](p);
        p.restore();
    }
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name, const char* format,
          int quality = -1)
{
    const QString path = dir.filePath(name);
    if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RES_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    struct Icon
    {
        const char* name;
        Drawer draw;
        int size;
    };
    const Icon icons[] = {{"icons/a.jpg", drawSun, 48},   {"icons/b.jpg", drawMoon, 48},
                          {"icons/c.jpg", drawKey, 48},   {"icons/d.jpg", drawTree, 64},
                          {"icons/e.jpg", drawHeart, 48}, {"icons/f.jpg", drawFish, 48}};
    bool ok = true;
    for (const Icon& icon : icons)
        ok &= save(render(icon.draw, icon.size), out, QLatin1String(icon.name), "JPEG", 92);
    ok &= save(renderButton(drawOk), out, QStringLiteral("buttons/ok.png"), "PNG");
    ok &= save(renderButton(drawQuestion), out, QStringLiteral("buttons/help.png"), "PNG");
    ok &= save(renderButton(drawOk, 2), out, QStringLiteral("buttons/ok@2x.png"), "PNG");
    ok &= save(renderButton(drawQuestion, 2), out, QStringLiteral("buttons/help@2x.png"), "PNG");
    ok &= save(renderAppIcon(256), out, QStringLiteral("app/glyphlock.png"), "PNG");
    ok &= save(renderAppIcon(48), out, QStringLiteral("app/glyphlock-48.png"), "PNG");
    return ok ? 0 : 1;
}
