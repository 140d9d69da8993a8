// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A window for looking at image buttons by hand (screenshots under Xvfb): a black dialog with
// two see-through picture buttons over a striped corner, and a wide captioned button with a tip.
#include "widgets/ImageButton.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>

namespace {

QImage glyphPicture(const QString& glyph)
{
    QImage image(32, 32, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 1 ? 16 : 26);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(QColor(0, 255, 0));
    painter.drawText(image.rect(), Qt::AlignCenter, glyph);
    return image;
}

class DemoDialog : public QDialog
{
public:
    DemoDialog()
    {
        setWindowTitle(QStringLiteral("Glyphlock"));
        QPalette colours = palette();
        colours.setColor(QPalette::Window, Qt::black);
        setPalette(colours);
        resize(320, 200);

        showButton = new ImageButton(this);
        showButton->setText(QStringLiteral("Show Generated Password"));
        showButton->setGeometry(10, 20, 300, 28);
        showButton->setPalette(QApplication::palette());
        showButton->setTooltip(
            QStringLiteral("If there're illegal characters in the password, config the "
                           "character set by system menu \"Configure...\" or \"Config\" "
                           "button on \"About\" dialog box"),
            true);

        help = new ImageButton(this);
        ok = new ImageButton(this);
        ok->setDefault(true);
        const QImage okPicture = glyphPicture(QStringLiteral("OK"));
        const QImage helpPicture = glyphPicture(QStringLiteral("?"));
        ok->setBitmapPair(&okPicture, qRgb(0, 0, 0));
        help->setBitmapPair(&helpPicture, qRgb(0, 0, 0));
        ok->enableSeeThrough(true);
        help->enableSeeThrough(true);
        connect(ok, &QPushButton::clicked, this, [this] { showButton->setText("Xy7&Qz!(pw)"); });
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        ok->setGeometry(width() - 55, height() - 45, 50, 40);
        help->setGeometry(width() - 105, height() - 45, 50, 40);
    }

    void paintEvent(QPaintEvent*) override
    {
        // Stripes behind the picture buttons show that their backgrounds are copied.
        QPainter painter(this);
        painter.setPen(QPen(QColor(40, 40, 120), 3));
        for (int x = width() - 160; x < width() + 60; x += 12)
            painter.drawLine(x, height(), x + 60, height() - 60);
    }

private:
    ImageButton* showButton = nullptr;
    ImageButton* help = nullptr;
    ImageButton* ok = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DemoDialog dialog;
    dialog.move(40, 40);
    return dialog.exec();
}
