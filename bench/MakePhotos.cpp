// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes pictures that cost what phone-camera photos cost to read: a sky and ground of soft
// gradients, a few shapes with hard edges at all angles, fine texture and sensor noise, saved
// as JPEG at camera quality. Each letter gets its own colours and shapes, the same every run.
//
// Usage: bench_make_photos FOLDER COUNT WIDTHxHEIGHT [--quality Q]
// writes a.jpg, b.jpg, ... (COUNT files, at most 27: 'a' to '{').

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

QColor randomColour(QRandomGenerator& random)
{
    return QColor::fromHsv(random.bounded(360), 60 + random.bounded(160), 90 + random.bounded(150));
}

QImage makePhoto(int index, QSize size)
{
    QRandomGenerator random(quint32(0x9e3779b9u * quint32(index + 1)));
    QImage image(size, QImage::Format_RGB32);
    const int horizon = size.height() * (35 + random.bounded(30)) / 100;
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, horizon);
        sky.setColorAt(0, randomColour(random));
        sky.setColorAt(1, randomColour(random).lighter(130));
        painter.fillRect(0, 0, size.width(), horizon, sky);
        QLinearGradient ground(0, horizon, size.width() / 3, size.height());
        ground.setColorAt(0, randomColour(random));
        ground.setColorAt(1, randomColour(random).darker(160));
        painter.fillRect(0, horizon, size.width(), size.height() - horizon, ground);

        // Shapes of all sizes: hills, stones, a sun, the odd post.
        const int shapes = 12 + random.bounded(12);
        for (int i = 0; i < shapes; ++i) {
            const double scale = size.width() / (2.0 + random.bounded(14));
            const QPointF centre(random.bounded(size.width()), random.bounded(size.height()));
            QRadialGradient fill(centre, scale);
            fill.setColorAt(0, randomColour(random));
            fill.setColorAt(1, randomColour(random));
            painter.setBrush(fill);
            painter.setPen(QPen(randomColour(random).darker(200), 1 + random.bounded(6)));
            QPainterPath path;
            const int corners = 3 + random.bounded(6);
            for (int k = 0; k < corners; ++k) {
                const double angle = 2 * M_PI * k / corners + random.bounded(0.6);
                const double reach = scale * (0.4 + random.bounded(0.6));
                const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * reach;
                if (k == 0)
                    path.moveTo(point);
                else
                    path.quadTo(centre + (point - centre) * 1.2, point);
            }
            path.closeSubpath();
            painter.drawPath(path);
        }
    }

    // Texture (grass, leaves, fabric) and sensor noise: what makes camera files large.
    quint32 state = quint32(index * 7919 + 17);
    const double grain = 0.02 + random.bounded(0.04);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 27) - 16;
            const int texture =
                int(24 * std::sin(x * grain + std::sin(y * 0.013) * 3) * std::sin(y * grain * 1.3));
            const int shift = noise + texture;
            const QRgb pixel = line[x];
            line[x] = qRgb(std::clamp(qRed(pixel) + shift, 0, 255),
                           std::clamp(qGreen(pixel) + shift + int(state >> 30) - 1, 0, 255),
                           std::clamp(qBlue(pixel) + shift, 0, 255));
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    int quality = 90;
    std::string positional[3];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quality") == 0 && i + 1 < argc)
            quality = std::atoi(argv[++i]);
        else if (count < 3)
            positional[count++] = argv[i];
    }
    int width = 0, height = 0;
    const int pictures = count == 3 ? std::atoi(positional[1].c_str()) : 0;
    if (count != 3 || pictures < 1 || pictures > 27 ||
        std::sscanf(positional[2].c_str(), "%dx%d", &width, &height) != 2 || width < 1 ||
        height < 1) {
        std::fprintf(stderr, "usage: %s FOLDER COUNT(1-27) WIDTHxHEIGHT [--quality Q]\n", argv[0]);
        return 2;
    }
    for (int index = 0; index < pictures; ++index) {
        QElapsedTimer timer;
        timer.start();
        const QString path = QString::fromStdString(positional[0]) + QLatin1Char('/') +
                             QLatin1Char(char('a' + index)) + QLatin1String(".jpg");
        QImageWriter writer(path, "jpeg");
        writer.setQuality(quality);
        if (!writer.write(makePhoto(index, QSize(width, height)))) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                         qPrintable(writer.errorString()));
            return 1;
        }
        std::printf("%s %.1f MB %lld ms\n", qPrintable(path), double(QFileInfo(path).size()) / 1e6,
                    timer.elapsed());
    }
    return 0;
}
