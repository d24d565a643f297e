// SPDX-License-Identifier: MIT
#include "support/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>

namespace xscreen {

static Display* display() {
    // A request on a window that has just gone must not end the test through Xlib's default
    // handler, which exits.
    static Display* const d = (XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }), XOpenDisplay(nullptr));
    return d;
}

int Image::count(bool red, float x0, float y0, float x1, float y1) const {
    // Text-screen units to whole pixels of a window the picture may be scaled up in.
    const float s = static_cast<float>(std::max(width / 640, 1));
    const auto px = [s](float v) { return static_cast<int>(v * s); };
    int n = 0;
    for (int y = std::max(px(y0), 0); y < std::min(px(y1), height); ++y)
        for (int x = std::max(px(x0), 0); x < std::min(px(x1), width); ++x) {
            const std::uint8_t* p =
                &rgb[(static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            n += red ? p[0] > 25 && p[1] * 3 < p[0] && p[2] * 3 < p[0] : p[0] + p[1] + p[2] > 60;
        }
    return n;
}

std::array<int, 2> size(unsigned long window) {
    XWindowAttributes a{};
    if (!display() || !XGetWindowAttributes(display(), window, &a)) return {0, 0};
    return {a.width, a.height};
}

Image grab(unsigned long window) {
    const auto [w, h] = size(window);
    XImage* x = w > 0 && h > 0 ? XGetImage(display(), window, 0, 0, w, h, AllPlanes, ZPixmap) : nullptr;
    if (!x) return {};
    Image img{w, h, std::vector<std::uint8_t>(static_cast<size_t>(w) * h * 3)};
    for (size_t i = 0; i < img.rgb.size();) {
        const unsigned long pixel = XGetPixel(x, static_cast<int>(i / 3) % w, static_cast<int>(i / 3) / w);
        for (const unsigned long mask : {x->red_mask, x->green_mask, x->blue_mask})
            img.rgb[i++] = static_cast<std::uint8_t>((pixel & mask) >> __builtin_ctzl(mask));
    }
    XDestroyImage(x);
    return img;
}

void close(unsigned long window) {
    XEvent e{};
    e.xclient = {ClientMessage, 0, False, display(), window, XInternAtom(display(), "WM_PROTOCOLS", False), 32, {}};
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display(), "WM_DELETE_WINDOW", False));
    XSendEvent(display(), window, False, NoEventMask, &e);
    XFlush(display());
}

bool cursorHidden() {
    XFixesCursorImage* c = XFixesGetCursorImage(display());
    const bool hidden = c && std::none_of(c->pixels, c->pixels + c->width * c->height, [](auto p) { return p >> 24; });
    if (c) XFree(c);
    return hidden;
}

}  // namespace xscreen
