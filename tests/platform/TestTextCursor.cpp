// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/TextCursor.h"

#include <QFileInfo>
#include <QTest>

#include <X11/Xcursor/Xcursor.h>

#include <set>
#include <tuple>

Q_DECLARE_METATYPE(CursorImage)

namespace {

// A made-up I-beam: a dark bar with serifs in a light outline, 7 x 11, hot spot in the middle.
CursorImage madeUpIBeam()
{
    const char* rows[] = {
        "ooooooo", "o##o##o", "ooo#ooo", "..o#o..", "..o#o..", "..o#o..",
        "..o#o..", "..o#o..", "ooo#ooo", "o##o##o", "ooooooo",
    };
    CursorImage image;
    image.width = 7;
    image.height = 11;
    image.xhot = 3;
    image.yhot = 5;
    for (const char* row : rows) {
        for (int x = 0; x < image.width; ++x)
            image.pixels.push_back(row[x] == '#' ? 0xff202020u : row[x] == 'o' ? 0xffe0e0e0u : 0u);
    }
    return image;
}

CursorImage changed(CursorImage image, void (*change)(CursorImage&))
{
    change(image);
    return image;
}

CursorImage named(const char* name, CursorImage image)
{
    image.name = name;
    return image;
}

std::vector<TextCursorPicture> themePicture(const CursorImage& image)
{
    return {TextCursorPicture{image, false}};
}

std::vector<TextCursorPicture> outlinePicture(const CursorImage& image)
{
    return {TextCursorPicture{image, true}};
}

// The images libXcursor gives for a name of a theme, asked for every `step` sizes from 8 to 256.
std::vector<CursorImage> themeImages(const char* name, const char* theme, int step)
{
    std::vector<CursorImage> images;
    std::set<int> nominalSizes;
    for (int size = 8; size <= 256; size += step) {
        XcursorImages* loaded = XcursorLibraryLoadImages(name, theme, size);
        if (!loaded)
            continue;
        // Every frame of a nominal size the theme holds, once.
        const bool newSize =
            loaded->nimage > 0 && nominalSizes.insert(int(loaded->images[0]->size)).second;
        for (int i = 0; newSize && i < loaded->nimage; ++i) {
            const XcursorImage* source = loaded->images[i];
            CursorImage image;
            image.width = int(source->width);
            image.height = int(source->height);
            image.xhot = int(source->xhot);
            image.yhot = int(source->yhot);
            image.pixels.assign(source->pixels, source->pixels + source->width * source->height);
            images.push_back(std::move(image));
        }
        XcursorImagesDestroy(loaded);
    }
    return images;
}

bool themeInstalled(const QString& theme)
{
    return QFileInfo::exists(QStringLiteral("/usr/share/icons/%1/cursors").arg(theme));
}

} // namespace

class TestTextCursor : public QObject
{
    Q_OBJECT

private slots:
    void shapes_data();
    void shapes();
    void installedThemes_data();
    void installedThemes();
};

// Made-up shapes beside made-up pictures: names, pixels, hot spots, outlines.
void TestTextCursor::shapes_data()
{
    QTest::addColumn<CursorImage>("shown");
    QTest::addColumn<std::vector<TextCursorPicture>>("pictures");
    QTest::addColumn<bool>("text");

    const CursorImage beam = madeUpIBeam();
    const auto theme = themePicture(beam);
    const CursorImage blank = changed(
        beam, [](CursorImage& image) { std::fill(image.pixels.begin(), image.pixels.end(), 0u); });

    QTest::newRow("named xterm, whatever it shows") << named("xterm", blank) << theme << true;
    QTest::newRow("named text, no pictures") << named("text", CursorImage()) << theme << true;
    QTest::newRow("named ibeam") << named("ibeam", blank) << std::vector<TextCursorPicture>()
                                 << true;
    QTest::newRow("named hand, drawn like the text cursor")
        << named("hand2", beam) << theme << false;
    QTest::newRow("named pointer") << named("pointer", beam) << theme << false;
    QTest::newRow("unnamed, drawn like the theme's") << beam << theme << true;
    QTest::newRow("unnamed, no pictures") << beam << std::vector<TextCursorPicture>() << false;
    QTest::newRow("colours a little off") << changed(beam, [](CursorImage& image) {
        for (auto& pixel : image.pixels) {
            if (pixel != 0)
                pixel -= 0x00030503;
        }
    }) << theme << true;
    QTest::newRow("one pixel of the bar missing")
        << changed(beam, [](CursorImage& image) { image.pixels[5 * 7 + 3] = 0; }) << theme << false;
    QTest::newRow("a light bar instead of a dark one") << changed(beam, [](CursorImage& image) {
        for (auto& pixel : image.pixels) {
            if (pixel == 0xff202020u)
                pixel = 0xffe0e0e0u;
        }
    }) << theme << false;
    QTest::newRow("hot spot elsewhere")
        << changed(beam, [](CursorImage& image) { image.xhot = 0; }) << theme << false;
    QTest::newRow("same pixels, other width") << changed(beam, [](CursorImage& image) {
        image.width = 11;
        image.height = 7;
    }) << theme << false;
    QTest::newRow("fewer pixels than its size says")
        << changed(beam, [](CursorImage& image) { image.pixels.pop_back(); }) << theme << false;
    QTest::newRow("nothing shown, nothing pictured") << blank << themePicture(blank) << false;
    QTest::newRow("no size at all") << CursorImage() << themePicture(CursorImage()) << false;
    QTest::newRow("the second of several pictures")
        << beam << std::vector<TextCursorPicture>{TextCursorPicture{blank, false}, theme[0]}
        << true;

    // The core font's I-beam: only its outline is known, the colours are the program's.
    const CursorImage outline = changed(beam, [](CursorImage& image) {
        for (auto& pixel : image.pixels)
            pixel = pixel ? 0xff000000u : 0u;
    });
    QTest::newRow("core: the outline in other colours") << beam << outlinePicture(outline) << true;
    QTest::newRow("core: one pixel outside the outline")
        << changed(beam, [](CursorImage& image) { image.pixels[3 * 7] = 0xff000000u; })
        << outlinePicture(outline) << false;
    QTest::newRow("core: the outline with another hot spot")
        << changed(beam, [](CursorImage& image) { image.yhot = 0; }) << outlinePicture(outline)
        << false;
}

void TestTextCursor::shapes()
{
    QFETCH(CursorImage, shown);
    QFETCH(std::vector<TextCursorPicture>, pictures);
    QFETCH(bool, text);
    QCOMPARE(isTextCursor(shown, pictures), text);
}

// The cursor themes of the desktops, as installed: every image of the text cursor in every
// size counts, and no other cursor of the theme does.
void TestTextCursor::installedThemes_data()
{
    QTest::addColumn<QString>("theme");
    QTest::newRow("Adwaita (GNOME)") << QStringLiteral("Adwaita");
    QTest::newRow("Breeze (KDE)") << QStringLiteral("breeze_cursors");
}

void TestTextCursor::installedThemes()
{
    QFETCH(QString, theme);
    if (!themeInstalled(theme))
        QSKIP("the cursor theme is not installed");
    const QByteArray themeName = theme.toUtf8();
    const std::vector<TextCursorPicture> pictures = themeTextCursors(themeName.constData());
    QVERIFY(!pictures.empty());

    std::set<std::tuple<int, int>> sizes;
    for (const char* name : {"xterm", "text"}) {
        for (const CursorImage& image : themeImages(name, themeName.constData(), 1)) {
            sizes.emplace(image.width, image.height);
            QVERIFY2(isTextCursor(image, pictures),
                     qPrintable(
                         QStringLiteral("%1 %2x%3").arg(name).arg(image.width).arg(image.height)));
        }
    }
    QVERIFY2(sizes.size() >= 2, "the theme should offer the text cursor in several sizes");

    for (const char* name :
         {"left_ptr", "default", "hand2", "pointer", "hand1", "question_arrow", "crosshair",
          "watch", "fleur", "not-allowed", "col-resize", "sb_v_double_arrow", "pencil", "help"}) {
        for (const CursorImage& image : themeImages(name, themeName.constData(), 8)) {
            QVERIFY2(!isTextCursor(image, pictures),
                     qPrintable(
                         QStringLiteral("%1 %2x%3").arg(name).arg(image.width).arg(image.height)));
        }
    }
}

QTEST_GUILESS_MAIN(TestTextCursor)
#include "TestTextCursor.moc"
