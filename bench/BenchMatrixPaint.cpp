// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// One full repaint of a large grid, drawn offscreen, beside two ways of drawing the same
// pictures: blitting copies scaled beforehand (the floor) and smooth-stretching every picture
// on every paint (what the scaled-copy cache avoids).
//   4K:        3840 x 2160 client, 80 x 43 cells of 48 x 49 pixels
//   4K at 2x:  1920 x 1080 client on a 2x display, 40 x 21 cells of 96 x 98 device pixels
// Wall-clock time: Qt may spread a smooth stretch over several threads.

#include "matrix/GridGeometry.h"
#include "matrix/MatrixDialog.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Scene
{
    std::unique_ptr<MatrixDialog> dialog;
    QImage target;
    QSize cell;
};

// A grid window of the given client size, its cells spread over all pictures.
Scene makeScene(QSize client, qreal ratio)
{
    Scene scene;
    scene.dialog = std::make_unique<MatrixDialog>();
    scene.dialog->setAttribute(Qt::WA_DontShowOnScreen);
    scene.dialog->show();
    scene.dialog->resize(client);
    const GridGeometry geometry = GridGeometry::fitting(client);
    scene.cell = geometry.cell;
    for (int r = 0; r < geometry.rows; ++r) {
        for (int c = 0; c < geometry.columns; ++c) {
            const QPointF at(c * scene.cell.width() + 1, r * scene.cell.height() + 1);
            for (int step = 0; step < (r * 7 + c * 3) % 6; ++step) {
                QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(scene.dialog.get(), &release);
            }
        }
    }
    scene.target = QImage((QSizeF(client) * ratio).toSize(), QImage::Format_RGB32);
    scene.target.setDevicePixelRatio(ratio);
    return scene;
}

Scene& scene(int which)
{
    static Scene scenes[] = {makeScene(QSize(3840, 2160), 1.0), makeScene(QSize(1920, 1080), 2.0)};
    return scenes[which];
}

QRect cellRect(const Scene& s, int column, int row)
{
    return QRect(column * s.cell.width(), row * s.cell.height(), s.cell.width(), s.cell.height());
}

void labelScene(benchmark::State& state, const Scene& s)
{
    state.SetLabel(QStringLiteral("%1 x %2 cells of %3 x %4 device pixels")
                       .arg(s.dialog->gridColumns())
                       .arg(s.dialog->gridRows())
                       .arg(s.cell.width() * s.target.devicePixelRatio())
                       .arg(s.cell.height() * s.target.devicePixelRatio())
                       .toStdString());
}

void BM_GridRepaint(benchmark::State& state)
{
    Scene& s = scene(int(state.range(0)));
    const QRect all(QPoint(0, 0), s.dialog->size());
    for (auto _ : state) {
        QPainter painter(&s.target);
        painter.fillRect(all, Qt::black);
        s.dialog->PaintMatrix(painter, all);
    }
    labelScene(state, s);
}

void BM_BlitPrescaled(benchmark::State& state)
{
    Scene& s = scene(int(state.range(0)));
    const qreal ratio = s.target.devicePixelRatio();
    const IconSet& icons = s.dialog->icons();
    std::vector<QPixmap> prescaled;
    for (int i = 0; i < icons.Count(); ++i) {
        QPixmap pixmap = QPixmap::fromImage(icons.Picture(i).image().scaled(
            (QSizeF(s.cell) * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        prescaled.push_back(pixmap);
    }
    const QRect all(QPoint(0, 0), s.dialog->size());
    const auto& rows = s.dialog->iconMatrix().Rows();
    for (auto _ : state) {
        QPainter painter(&s.target);
        painter.fillRect(all, Qt::black);
        for (int r = 0; r < int(rows.size()); ++r)
            for (int c = 0; c < int(rows[r].size()); ++c)
                painter.drawPixmap(cellRect(s, c, r).topLeft(), prescaled[rows[r][c] - 'a']);
    }
    labelScene(state, s);
}

void BM_StretchEveryPaint(benchmark::State& state)
{
    Scene& s = scene(int(state.range(0)));
    const IconSet& icons = s.dialog->icons();
    const QRect all(QPoint(0, 0), s.dialog->size());
    const auto& rows = s.dialog->iconMatrix().Rows();
    for (auto _ : state) {
        QPainter painter(&s.target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(all, Qt::black);
        for (int r = 0; r < int(rows.size()); ++r)
            for (int c = 0; c < int(rows[r].size()); ++c)
                painter.drawImage(cellRect(s, c, r), icons.Picture(rows[r][c] - 'a').image());
    }
    labelScene(state, s);
}

} // namespace

BENCHMARK(BM_GridRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlitPrescaled)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StretchEveryPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
