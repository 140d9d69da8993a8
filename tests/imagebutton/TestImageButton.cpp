// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/ImageButton.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr QRgb kBackdrop = qRgb(200, 30, 30);      // left half of the host
constexpr QRgb kOtherBackdrop = qRgb(30, 30, 200); // right half of the host
constexpr QRgb kFace = qRgb(180, 180, 180);
constexpr QRgb kText = qRgb(0, 0, 0);
constexpr QRgb kLight = qRgb(255, 255, 255);
constexpr QRgb kDark = qRgb(100, 100, 100);
constexpr QRgb kHotColour = qRgb(0, 255, 0);
constexpr QRgb kRestColour = qRgb(255, 255, 0);
constexpr QRgb kOldColour = qRgb(255, 128, 0);
constexpr QRgb kKey = qRgb(0, 0, 0); // transparency colour, as on the main window's pictures

constexpr QPoint kButtonPos(20, 30);
constexpr QSize kButtonSize(50, 40);

// A 24-bit picture of one colour whose centre pixel has the transparency colour.
QImage picture(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    image.setPixel(size.width() / 2, size.height() / 2, kKey);
    return image;
}

QImage shot(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect boundsOf(const QImage& image, QRgb colour)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Left half in the palette's Window colour, right half in its Base colour.
class Backdrop : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), palette().color(QPalette::Window));
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(),
                         palette().color(QPalette::Base));
    }
};

QPalette testPalette()
{
    QPalette colours;
    colours.setColor(QPalette::Window, kBackdrop);
    colours.setColor(QPalette::Base, kOtherBackdrop);
    colours.setColor(QPalette::Button, kFace);
    colours.setColor(QPalette::ButtonText, kText);
    colours.setColor(QPalette::Light, kLight);
    colours.setColor(QPalette::Dark, kDark);
    return colours;
}

// Exact colours on the caption make its pixels countable.
QFont aliasedFont()
{
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(13);
    return font;
}

} // namespace

class TestImageButton : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Backdrop> host;
    ImageButton* button = nullptr;
    bool leftHeld = false;
    QPoint pointer; // where the last synthetic move left the pointer, in the host

    QWindow* window() const { return host->windowHandle(); }

    void moveTo(QPoint pos)
    {
        pointer = pos;
        QTest::mouseMove(window(), pos);
    }

private slots:
    void init()
    {
        // Painting problems show up as warnings; the offscreen platform's notes on what it
        // cannot do (raising a window, size hints) are no fault of the button.
        QTest::failOnWarning(
            QRegularExpression(QStringLiteral("^(?!This plugin does not support).*")));
        host = std::make_unique<Backdrop>();
        host->setPalette(testPalette());
        host->setFont(aliasedFont());
        host->resize(240, 120);
        button = new ImageButton(host.get());
        button->setGeometry(QRect(kButtonPos, kButtonSize));
        host->show();
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        // Activation focused the button; most renders are wanted without the focus rectangle.
        host->setFocus();
        moveTo(QPoint(230, 110));
    }

    void cleanup()
    {
        if (leftHeld)
            QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(200, 100));
        leftHeld = false;
        host.reset();
    }

    void picturePlacement_data()
    {
        QTest::addColumn<QSize>("buttonSize");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QPoint>("expected");

        QTest::newRow("centred") << QSize(50, 40) << QSize(32, 32) << "" << false << QPoint(9, 4);
        QTest::newRow("centred, pressed")
            << QSize(50, 40) << QSize(32, 32) << "" << true << QPoint(10, 5);
        QTest::newRow("odd room") << QSize(51, 41) << QSize(20, 10) << "" << false
                                  << QPoint(15, 15);
        QTest::newRow("beside text")
            << QSize(120, 40) << QSize(32, 32) << "Go" << false << QPoint(3, 4);
        QTest::newRow("beside text, pressed")
            << QSize(120, 40) << QSize(32, 32) << "Go" << true << QPoint(4, 5);
        QTest::newRow("wider than the button")
            << QSize(20, 40) << QSize(32, 32) << "" << false << QPoint(-6, 4);
    }

    void picturePlacement()
    {
        QFETCH(QSize, buttonSize);
        QFETCH(QSize, pictureSize);
        QFETCH(QString, text);
        QFETCH(bool, down);
        QFETCH(QPoint, expected);

        button->resize(buttonSize);
        button->setText(text);
        const QImage hot = picture(pictureSize, kHotColour);
        QCOMPARE(button->setBitmapPair(&hot, kKey), ImageButton::kDone);
        button->setDown(down);

        // Drawn at its own size, never stretched; only what lies outside the button is lost.
        const QRect expectedRect = QRect(expected, pictureSize) & button->rect();
        QCOMPARE(boundsOf(shot(button), kHotColour), expectedRect);
    }

    void transparentPixelsShowBackground_data()
    {
        QTest::addColumn<bool>("seeThrough");
        QTest::addColumn<QRgb>("background");
        QTest::newRow("face colour") << false << kFace;
        QTest::newRow("see-through") << true << kBackdrop;
    }

    void transparentPixelsShowBackground()
    {
        QFETCH(bool, seeThrough);
        QFETCH(QRgb, background);

        const QImage hot = picture(QSize(32, 32), kHotColour);
        button->setBitmapPair(&hot, kKey);
        if (seeThrough)
            button->enableSeeThrough(true);

        // The button on its own, and the button painted as part of its window.
        const QImage alone = shot(button);
        const QImage inWindow = shot(host.get()).copy(button->geometry());
        for (const QImage& image : {alone, inWindow}) {
            QCOMPARE(image.pixel(9 + 16, 4 + 16), background); // transparent pixel of the picture
            QCOMPARE(image.pixel(2, 2), background);           // beside the picture
            QCOMPARE(image.pixel(9, 4), kHotColour);
        }
    }

    void snapshotKeptUntilPaletteChangeOrRenewal()
    {
        button->enableSeeThrough(true);
        QCOMPARE(shot(button).pixel(5, 5), kBackdrop);

        // Moved over the other colour, the button still shows what it first copied.
        button->move(160, 30);
        QCOMPARE(shot(button).pixel(5, 5), kBackdrop);

        // A palette change makes the next paint copy the backdrop again.
        QPalette colours = host->palette();
        colours.setColor(QPalette::Base, qRgb(10, 120, 10));
        host->setPalette(colours);
        QCOMPARE(shot(button).pixel(5, 5), qRgb(10, 120, 10));

        button->move(kButtonPos);
        QCOMPARE(shot(button).pixel(5, 5), qRgb(10, 120, 10));
        button->enableSeeThrough(false);
        QCOMPARE(shot(button).pixel(5, 5), kBackdrop);
    }

    void outline_data()
    {
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("bottomRight");
        QTest::newRow("at rest") << false << false << kFace << kFace;
        QTest::newRow("hovered: raised") << true << false << kLight << kDark;
        QTest::newRow("pressed: sunken") << false << true << kDark << kLight;
        QTest::newRow("hovered and pressed: sunken") << true << true << kDark << kLight;
    }

    void outline()
    {
        QFETCH(bool, hovered);
        QFETCH(bool, down);
        QFETCH(QRgb, topLeft);
        QFETCH(QRgb, bottomRight);

        if (hovered)
            moveTo(button->geometry().center());
        QCOMPARE(button->isHot(), hovered);
        button->setDown(down);

        const QImage image = shot(button);
        const int r = image.width() - 1;
        const int b = image.height() - 1;
        // Top and left edges stop one short of the far corners, which belong to the other edges.
        QCOMPARE(image.pixel(0, 0), topLeft);
        QCOMPARE(image.pixel(r - 1, 0), topLeft);
        QCOMPARE(image.pixel(0, b - 1), topLeft);
        QCOMPARE(image.pixel(r, 0), bottomRight);
        QCOMPARE(image.pixel(0, b), bottomRight);
        QCOMPARE(image.pixel(r, b), bottomRight);
        QCOMPARE(image.pixel(1, 1), kFace);
        QCOMPARE(image.pixel(r - 1, b - 1), kFace);
    }

    void focusRectangle()
    {
        const QRgb inverted = kFace ^ 0x00ffffff;
        QVERIFY(boundsOf(shot(button), inverted).isNull());

        button->setFocus();
        QVERIFY(button->hasFocus());
        const QImage image = shot(button);
        // A dotted line 3 pixels in from every edge; nothing else changes.
        QCOMPARE(boundsOf(image, inverted), button->rect().adjusted(3, 3, -3, -3));
        QCOMPARE(image.pixel(3, 3), inverted);
        QCOMPARE(image.pixel(4, 3), kFace);
        QCOMPARE(image.pixel(5, 3), inverted);
        QCOMPARE(image.pixel(2, 2), kFace);
        QCOMPARE(image.pixel(4, 4), kFace);
    }

    void hoverRules_data()
    {
        // i: move onto the button, o: move off it, p / r: press / release the left button
        // where the pointer is, d: no window of the program is active, a: the host is active
        // again. expected: whether the button is highlighted after each step.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("enter and leave") << "i i o"
                                         << "110";
        QTest::newRow("program not active") << "d i a i"
                                            << "0001";
        QTest::newRow("deactivation ends it") << "i d"
                                              << "10";
        QTest::newRow("arriving with the button held") << "o p i i"
                                                       << "0000";
        QTest::newRow("leaving while held, coming back") << "i p o i r i"
                                                         << "110001";
    }

    void hoverRules()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);

        const QRect inside = button->geometry();
        int step = 0;
        QString seen;
        for (const QChar action : script) {
            // A slightly different spot every time, so that every move really is one.
            const int nudge = action == 'i' || action == 'o' ? ++step % 2 : 0;
            switch (action.unicode()) {
            case 'i':
                moveTo(inside.center() + QPoint(nudge, nudge));
                break;
            case 'o':
                moveTo(QPoint(120, 100) + QPoint(nudge, nudge));
                break;
            case 'p':
                QTest::mousePress(window(), Qt::LeftButton, {}, pointer);
                leftHeld = true;
                break;
            case 'r':
                QTest::mouseRelease(window(), Qt::LeftButton, {}, pointer);
                leftHeld = false;
                break;
            case 'd':
                QApplication::setActiveWindow(nullptr);
                QTRY_VERIFY(!QApplication::activeWindow());
                break;
            case 'a':
                QApplication::setActiveWindow(host.get());
                break;
            default:
                continue;
            }
            seen += button->isHot() ? '1' : '0';
        }
        QCOMPARE(seen, expected);
    }

    void bitmapPairResults_data()
    {
        QTest::addColumn<int>("hot");  // 0 none, 1 valid, 2 invalid
        QTest::addColumn<int>("rest"); // same
        QTest::addColumn<int>("result");
        QTest::addColumn<QRgb>("shownAtRest");
        QTest::addColumn<QRgb>("shownPressed");
        QTest::newRow("no pictures") << 0 << 0 << ImageButton::kDone << kFace << kFace;
        QTest::newRow("rest without hot") << 0 << 1 << ImageButton::kDone << kFace << kFace;
        QTest::newRow("hot only") << 1 << 0 << ImageButton::kDone << kHotColour << kHotColour;
        QTest::newRow("pair") << 1 << 1 << ImageButton::kDone << kRestColour << kHotColour;
        QTest::newRow("invalid hot") << 2 << 1 << ImageButton::kInvalidPicture << kFace << kFace;
        QTest::newRow("invalid rest drops hot")
            << 1 << 2 << ImageButton::kInvalidPicture << kFace << kFace;
    }

    void bitmapPairResults()
    {
        QFETCH(int, hot);
        QFETCH(int, rest);
        QFETCH(int, result);
        QFETCH(QRgb, shownAtRest);
        QFETCH(QRgb, shownPressed);

        // Pictures from before must go whatever the outcome.
        const QImage old = picture(QSize(32, 32), kOldColour);
        QCOMPARE(button->setBitmapPair(&old, kKey, &old, kKey), ImageButton::kDone);

        const QImage images[3][2] = {
            {}, {picture(QSize(32, 32), kHotColour), picture(QSize(32, 32), kRestColour)}, {}};
        const QImage* hotImage = hot == 0 ? nullptr : &images[hot][0];
        const QImage* restImage = rest == 0 ? nullptr : &images[rest][1];
        QCOMPARE(button->setBitmapPair(hotImage, kKey, restImage, kKey), result);

        QCOMPARE(shot(button).pixel(9, 4), shownAtRest);
        button->setDown(true);
        QCOMPARE(shot(button).pixel(10, 5), shownPressed);
        QVERIFY(boundsOf(shot(button), kOldColour).isNull());
    }

    void loadBitmapPair_data()
    {
        QTest::addColumn<QString>("hotFile");
        QTest::addColumn<QString>("restFile");
        QTest::addColumn<QRgb>("shownAtRest");
        QTest::newRow("pair") << "hot.png"
                              << "rest.png" << kRestColour;
        QTest::newRow("missing rest") << "hot.png"
                                      << "missing.png" << kHotColour;
        QTest::newRow("no rest") << "hot.png"
                                 << "" << kHotColour;
        QTest::newRow("missing hot") << "missing.png"
                                     << "rest.png" << kFace;
        QTest::newRow("broken hot") << "broken.png"
                                    << "" << kFace;
    }

    void loadBitmapPair()
    {
        QFETCH(QString, hotFile);
        QFETCH(QString, restFile);
        QFETCH(QRgb, shownAtRest);

        QTemporaryDir dir;
        QVERIFY(picture(QSize(32, 32), kHotColour).save(dir.filePath("hot.png")));
        QVERIFY(picture(QSize(32, 32), kRestColour).save(dir.filePath("rest.png")));
        QFile broken(dir.filePath("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG\r\n\x1a\n not really");
        broken.close();

        const auto path = [&dir](const QString& name) {
            return name.isEmpty() ? QString() : dir.filePath(name);
        };
        QCOMPARE(button->loadBitmapPair(path(hotFile), kKey, path(restFile), kKey),
                 ImageButton::kDone);
        const QImage image = shot(button);
        QCOMPARE(image.pixel(9, 4), shownAtRest);
        if (shownAtRest != kFace)
            QCOMPARE(image.pixel(9 + 16, 4 + 16), kFace); // black is see-through
    }

    void captionCentredAndShiftedWhenPressed_data()
    {
        QTest::addColumn<bool>("withPicture");
        QTest::newRow("text only") << false;
        QTest::newRow("beside a picture") << true;
    }

    void captionCentredAndShiftedWhenPressed()
    {
        QFETCH(bool, withPicture);

        button->resize(160, 40);
        button->setText(QStringLiteral("Show"));
        const QImage hot = picture(QSize(32, 32), kHotColour);
        if (withPicture)
            button->setBitmapPair(&hot, kKey);
        const int areaLeft = withPicture ? 32 + 3 : 0;

        const QRect text = boundsOf(shot(button), kText);
        QVERIFY(!text.isEmpty());
        QVERIFY(text.left() >= areaLeft);
        QVERIFY(qAbs((text.left() - areaLeft) - (160 - 1 - text.right())) <= 2);
        QVERIFY(qAbs(text.top() - (40 - 1 - text.bottom())) <= 3);

        button->setDown(true);
        QCOMPARE(boundsOf(shot(button), kText), text.translated(1, 1));
    }

    void captionWrapsAndOverhangs()
    {
        const QFontMetrics metrics(aliasedFont());

        // Words wrap onto lines of their own inside the width.
        button->resize(90, 60);
        button->setText(QStringLiteral("Show Generated Password"));
        const QRect wrapped = boundsOf(shot(button), kText);
        QVERIFY(wrapped.height() > metrics.height());
        QVERIFY(wrapped.left() > 0 && wrapped.right() < 89);

        // A word wider than the button stays on one line, centred, and runs over both edges.
        button->setText(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
        const QImage image = shot(button);
        const QRect overhang = boundsOf(image, kText);
        QCOMPARE(overhang.left(), 0);
        QCOMPARE(overhang.right(), 89);
        QVERIFY(overhang.height() <= metrics.height());
    }

    void disabledCaptionIsEngraved()
    {
        button->resize(120, 40);
        button->setText(QStringLiteral("Show"));
        button->setEnabled(false);
        const QImage image = shot(button);
        QVERIFY(boundsOf(image, kText).isNull());
        const QRect dark = boundsOf(image, kDark);
        const QRect light = boundsOf(image, kLight);
        QVERIFY(!dark.isEmpty());
        // The light copy lies one pixel right of and below the dark one.
        QCOMPARE(light.bottomRight(), dark.bottomRight() + QPoint(1, 1));
    }

    void disablingPassesFocusOnAndEndsHover()
    {
        auto* next = new QLineEdit(host.get());
        next->setGeometry(100, 30, 80, 20);
        next->show();
        moveTo(button->geometry().center());
        button->setFocus();
        QVERIFY(button->isHot());

        button->setEnabled(false);
        QVERIFY(next->hasFocus());
        QVERIFY(!button->isHot());
    }

    void enterPressesTheDefaultButton()
    {
        QDialog dialog;
        auto* edit = new QLineEdit(&dialog);
        auto* image = new ImageButton(&dialog);
        auto* other = new QPushButton(QStringLiteral("Other"), &dialog);
        edit->setGeometry(10, 10, 100, 20);
        image->setGeometry(10, 40, 50, 40);
        other->setGeometry(70, 40, 80, 30);
        image->setDefault(true);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        QSignalSpy imageClicks(image, &QPushButton::clicked);
        QSignalSpy otherClicks(other, &QPushButton::clicked);
        const QImage before = shot(image);

        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(imageClicks.size(), 1);

        // Another button becomes the default: Enter goes there, and this one looks the same.
        other->setDefault(true);
        QVERIFY(!image->isDefault());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(otherClicks.size(), 1);
        QCOMPARE(imageClicks.size(), 1);
        QCOMPARE(shot(image), before);

        image->setDefault(true);
        QVERIFY(!other->isDefault());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(imageClicks.size(), 2);
    }

    void doubleClickGivesTwoClicks()
    {
        QSignalSpy clicks(button, &QPushButton::clicked);
        QTest::mouseDClick(window(), Qt::LeftButton, {}, button->geometry().center());
        QCOMPARE(clicks.size(), 2);
    }

    void tooltip()
    {
        const auto tip = [this] { return button->findChild<QLabel*>(); };
        const auto hoverAt = [this](QPoint pos) {
            QHelpEvent help(QEvent::ToolTip, pos, button->mapToGlobal(pos));
            QApplication::sendEvent(button, &help);
        };

        button->setTooltip(QString(), true);
        QVERIFY(!tip());

        const QString hint = QStringLiteral(
            "If there're illegal characters in the password, config the character set by system "
            "menu \"Configure...\" or \"Config\" button on \"About\" dialog box");
        button->setTooltip(hint, true);
        QLabel* label = tip();
        QVERIFY(label);
        hoverAt(QPoint(10, 10));
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), hint);
        // Long texts wrap at 400 pixels.
        const int chrome = 2 * (label->frameWidth() + label->margin());
        QVERIFY(label->width() <= 400 + chrome);
        QVERIFY(label->height() >= 2 * label->fontMetrics().height());

        // A press hides it.
        QTest::mouseClick(window(), Qt::LeftButton, {}, button->geometry().center());
        QVERIFY(!label->isVisible());

        // Later calls replace the text and the active flag, and keep the first area.
        button->setTooltip(QStringLiteral("Off"), false);
        hoverAt(QPoint(10, 10));
        QVERIFY(!label->isVisible());
        button->setTooltip(QStringLiteral("On"), true);
        QCOMPARE(tip(), label);
        button->resize(100, 40);
        hoverAt(QPoint(80, 10));
        QVERIFY(!label->isVisible());
        hoverAt(QPoint(10, 10));
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("On"));
    }

    void tooltipSetBeforeTheButtonIsShownCoversItsShownSize()
    {
        // As a dialog under construction does it: the tip first, the final size afterwards.
        auto* late = new ImageButton(host.get());
        late->hide();
        late->setTooltip(QStringLiteral("Hint"), true);
        late->setGeometry(10, 10, 200, 30);
        late->show();
        QHelpEvent help(QEvent::ToolTip, QPoint(180, 10), late->mapToGlobal(QPoint(180, 10)));
        QApplication::sendEvent(late, &help);
        QVERIFY(late->findChild<QLabel*>()->isVisible());
    }
};

QTEST_MAIN(TestImageButton)
#include "TestImageButton.moc"
