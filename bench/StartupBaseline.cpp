// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The yardstick for start-up: about the least any Qt Widgets program shows, a plain window
// that paints one picture, decoded before its first frame, and one line of text. The
// observer gives it the size of the window it is compared with, so that both cost the X
// server and the observer alike.
//
// Usage: bench_startup_baseline PICTURE [--size WxH]

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QWidget>

namespace {

class PictureWindow : public QWidget
{
public:
    explicit PictureWindow(const QString& path) : picture(path) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const int line = fontMetrics().height() + 8;
        painter.drawImage(QRect(0, 0, width(), height() - line), picture);
        painter.fillRect(QRect(0, height() - line, width(), line), palette().window());
        painter.drawText(QRect(4, height() - line, width() - 8, line), Qt::AlignVCenter,
                         QStringLiteral("Start-up yardstick"));
    }

private:
    QImage picture;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    QSize size(384, 401);
    QString picture;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList parts = args[++i].split(QLatin1Char('x'));
            if (parts.size() == 2)
                size = QSize(parts[0].toInt(), parts[1].toInt());
        } else {
            picture = args[i];
        }
    }
    PictureWindow window(picture);
    window.setWindowTitle(QStringLiteral("Yardstick"));
    window.resize(size);
    window.show();
    return app.exec();
}
