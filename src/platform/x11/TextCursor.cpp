// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/TextCursor.h"

#include <X11/Xcursor/Xcursor.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

// The names under which toolkits and themes know the text cursor.
constexpr std::string_view kTextCursorNames[] = {"xterm", "text", "ibeam"};

// How far a channel of a shown pixel may stray from the theme's: a program that reads the
// theme file itself may round its colours a little differently on the way to the server.
constexpr int kChannelTolerance = 8;

// Cursors larger than this are never compared.
constexpr int kLargestCursor = 1024;

bool sameGeometry(const CursorImage& a, const CursorImage& b)
{
    return a.width == b.width && a.height == b.height && a.xhot == b.xhot && a.yhot == b.yhot &&
           a.pixels.size() == b.pixels.size();
}

bool pixelsAlike(std::uint32_t a, std::uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int difference = int((a >> shift) & 0xff) - int((b >> shift) & 0xff);
        if (std::abs(difference) > kChannelTolerance)
            return false;
    }
    return true;
}

bool drawnLike(const CursorImage& shown, const TextCursorPicture& picture)
{
    if (!sameGeometry(shown, picture.image))
        return false;
    bool anyShown = false;
    for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
        const std::uint32_t pixel = shown.pixels[i];
        const std::uint32_t expected = picture.image.pixels[i];
        anyShown = anyShown || (pixel >> 24) != 0;
        if (picture.outlineOnly ? ((pixel >> 24) != 0) != ((expected >> 24) != 0)
                                : !pixelsAlike(pixel, expected))
            return false;
    }
    return anyShown;
}

// The images libXcursor picks for a requested size: those of the nominal size nearest to it.
struct ThemeImages
{
    explicit ThemeImages(XcursorImages* images) : images(images) {}
    ~ThemeImages()
    {
        if (images)
            XcursorImagesDestroy(images);
    }
    ThemeImages(const ThemeImages&) = delete;
    ThemeImages& operator=(const ThemeImages&) = delete;
    int nominalSize() const
    {
        return images && images->nimage > 0 ? int(images->images[0]->size) : 0;
    }
    XcursorImages* images;
};

ThemeImages load(std::string_view name, const char* theme, int size)
{
    return ThemeImages(XcursorLibraryLoadImages(std::string(name).c_str(), theme, size));
}

void addPictures(const ThemeImages& loaded, std::vector<TextCursorPicture>& pictures)
{
    for (int i = 0; loaded.images && i < loaded.images->nimage; ++i) {
        const XcursorImage* image = loaded.images->images[i];
        if (image->width == 0 || image->height == 0 || image->width > kLargestCursor ||
            image->height > kLargestCursor)
            continue;
        TextCursorPicture picture;
        picture.image.width = int(image->width);
        picture.image.height = int(image->height);
        picture.image.xhot = int(image->xhot);
        picture.image.yhot = int(image->yhot);
        picture.image.pixels.assign(image->pixels, image->pixels + image->width * image->height);
        const bool known = std::any_of(pictures.begin(), pictures.end(), [&](const auto& other) {
            return sameGeometry(other.image, picture.image) &&
                   other.image.pixels == picture.image.pixels;
        });
        if (!known)
            pictures.push_back(std::move(picture));
    }
}

} // namespace

bool isTextCursor(const CursorImage& shown, const std::vector<TextCursorPicture>& pictures)
{
    if (std::find(std::begin(kTextCursorNames), std::end(kTextCursorNames), shown.name) !=
        std::end(kTextCursorNames))
        return true;
    if (!shown.name.empty() || shown.width <= 0 || shown.height <= 0 ||
        shown.pixels.size() != std::size_t(shown.width) * std::size_t(shown.height))
        return false;
    return std::any_of(pictures.begin(), pictures.end(),
                       [&](const TextCursorPicture& picture) { return drawnLike(shown, picture); });
}

std::vector<TextCursorPicture> themeTextCursors(const char* theme)
{
    std::vector<TextCursorPicture> pictures;
    for (const std::string_view name : kTextCursorNames) {
        // libXcursor gives the nominal size nearest to the one asked for; the sizes asked for
        // climb from the smallest to the largest the theme holds, each found by halving the
        // range of requests that still give the last size.
        ThemeImages largest = load(name, theme, kLargestCursor);
        const int largestSize = largest.nominalSize();
        if (largestSize == 0)
            continue;
        int request = 1;
        for (;;) {
            ThemeImages loaded = load(name, theme, request);
            const int size = loaded.nominalSize();
            if (size == 0)
                break;
            addPictures(loaded, pictures);
            if (size >= largestSize)
                break;
            int low = std::max(request, size), high = kLargestCursor; // size(high) > size
            while (high - low > 1) {
                const int middle = low + (high - low) / 2;
                (load(name, theme, middle).nominalSize() > size ? high : low) = middle;
            }
            request = high;
        }
    }
    return pictures;
}
