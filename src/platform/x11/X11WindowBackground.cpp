// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/x11/X11WindowBackground.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

const xcb_visualtype_t* findVisual(const xcb_setup_t* setup, xcb_visualid_t id)
{
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem;
             xcb_depth_next(&depth)) {
            for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
                 xcb_visualtype_next(&visual)) {
                if (visual.data->visual_id == id)
                    return visual.data;
            }
        }
    }
    return nullptr;
}

// Whether the server keeps pixels of this depth and visual exactly as Format_RGB32 holds
// them: 32-bit words of 0x..RRGGBB in this machine's byte order.
bool takesRgb32(const xcb_setup_t* setup, uint8_t depth, xcb_visualid_t visualId)
{
    constexpr uint8_t hostOrder =
        Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != hostOrder || (depth != 24 && depth != 32))
        return false;
    bool wordPixels = false;
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
         xcb_format_next(&format)) {
        if (format.data->depth == depth)
            wordPixels = format.data->bits_per_pixel == 32 && format.data->scanline_pad == 32;
    }
    const xcb_visualtype_t* visual = findVisual(setup, visualId);
    return wordPixels && visual && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
           visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 &&
           visual->blue_mask == 0xff;
}

} // namespace

X11WindowBackground::X11WindowBackground(WId window) : window(xcb_window_t(window))
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    connection = x11 ? x11->connection() : nullptr;
}

X11WindowBackground::~X11WindowBackground()
{
    // Unanswered questions are dropped, not left for the toolkit to read as its own.
    if (asked) {
        xcb_discard_reply(connection, geometryCookie.sequence);
        xcb_discard_reply(connection, attributesCookie.sequence);
    }
}

void X11WindowBackground::prepare()
{
    if (!connection || asked)
        return;
    geometryCookie = xcb_get_geometry(connection, window);
    attributesCookie = xcb_get_window_attributes(connection, window);
    xcb_flush(connection);
    asked = true;
}

bool X11WindowBackground::set(const QImage& frame)
{
    prepare();
    if (!connection || frame.format() != QImage::Format_RGB32)
        return false;
    asked = false;
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    const ReplyPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, attributesCookie, nullptr));
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (!geometry || !attributes || geometry->width != frame.width() ||
        geometry->height != frame.height() ||
        !takesRgb32(setup, geometry->depth, attributes->visual))
        return false;

    const auto width = uint16_t(frame.width());
    const auto height = uint16_t(frame.height());
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, geometry->depth, pixmap, window, width, height);
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    // As many rows per request as the server takes (a request header is 24 bytes).
    const uint32_t rowBytes = uint32_t(frame.bytesPerLine());
    const uint32_t maxBytes = xcb_get_maximum_request_length(connection) * 4;
    const int rowsPerRequest = int(std::max<uint32_t>(1, (maxBytes - 24) / rowBytes));
    for (int y = 0; y < height; y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, height - y);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, uint16_t(rows), 0,
                      int16_t(y), 0, geometry->depth, rowBytes * uint32_t(rows),
                      frame.constScanLine(y));
    }
    xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXMAP, &pixmap);
    // The window holds on to it.
    xcb_free_gc(connection, gc);
    xcb_free_pixmap(connection, pixmap);
    xcb_flush(connection);
    return true;
}

void X11WindowBackground::clear()
{
    if (!connection)
        return;
    const uint32_t none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXMAP, &none);
    xcb_flush(connection);
}
