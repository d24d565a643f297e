// SPDX-License-Identifier: MIT
#include "support/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

XScreen::XScreen() {
    // Windows come and go while the game starts and ends; a request on one that just went away
    // must not end the test through Xlib's default handler, which exits the process.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    display_ = XOpenDisplay(nullptr);
}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(display_);
}

std::array<int, 2> XScreen::windowSize(unsigned long window) {
    XWindowAttributes a{};
    if (!display_ || !XGetWindowAttributes(display_, window, &a)) return {0, 0};
    return {a.width, a.height};
}

XScreen::Image XScreen::grab(unsigned long window) {
    Image img;
    const auto size = windowSize(window);
    if (size[0] <= 0 || size[1] <= 0) return img;
    XImage* x = XGetImage(display_, window, 0, 0, size[0], size[1], AllPlanes, ZPixmap);
    if (!x) return img;
    img.width = size[0];
    img.height = size[1];
    img.rgb.resize(static_cast<size_t>(img.width) * img.height * 3);
    for (int y = 0; y < img.height; ++y) {
        for (int xx = 0; xx < img.width; ++xx) {
            const unsigned long p = XGetPixel(x, xx, y);
            const size_t o = (static_cast<size_t>(y) * img.width + xx) * 3;
            img.rgb[o] = static_cast<std::uint8_t>((p & x->red_mask) >> __builtin_ctzl(x->red_mask));
            img.rgb[o + 1] = static_cast<std::uint8_t>((p & x->green_mask) >> __builtin_ctzl(x->green_mask));
            img.rgb[o + 2] = static_cast<std::uint8_t>((p & x->blue_mask) >> __builtin_ctzl(x->blue_mask));
        }
    }
    XDestroyImage(x);
    return img;
}

std::array<int, 3> XScreen::Image::at(int x, int yFromBottom) const {
    const int y = height - 1 - yFromBottom;
    if (x < 0 || y < 0 || x >= width || y >= height) return {0, 0, 0};
    const size_t o = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[o], rgb[o + 1], rgb[o + 2]};
}

int XScreen::Image::count(int x0, int y0, int x1, int y1, bool (*test)(const std::array<int, 3>&)) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (test(at(x, y))) ++n;
    return n;
}

bool XScreen::Image::writePpm(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    std::fwrite(rgb.data(), 1, rgb.size(), f);
    return std::fclose(f) == 0;
}

void XScreen::closeWindow(unsigned long window) {
    if (!display_) return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &e);
    XFlush(display_);
}

bool XScreen::cursorHidden() {
    if (!display_) return false;
    XFixesCursorImage* c = XFixesGetCursorImage(display_);
    if (!c) return false;
    bool hidden = true;
    for (int i = 0; i < c->width * c->height; ++i)
        if ((c->pixels[i] >> 24) & 0xff) hidden = false;
    XFree(c);
    return hidden;
}
