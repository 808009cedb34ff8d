// Xlib helpers for the process tests and the run script.
#include "tests/support/x11_window.hpp"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <thread>

namespace {

// Other programs' windows come and go while the tree is walked; a request on one that has just
// gone fails with BadWindow, which only means "not this one".
int ignore_x_errors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

// Xvfb busy with a program drawing flat out now and then refuses a connection outright (EAGAIN);
// a moment later it accepts.
x11_display::x11_display() : display_(nullptr)
{
    for (int attempt = 0; attempt < 20 && display_ == nullptr; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        display_ = XOpenDisplay(nullptr);
    }
    XSetErrorHandler(ignore_x_errors);
}

x11_display::~x11_display()
{
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

Window x11_display::find_window_of(x_window parent, pid_t pid)
{
    const Atom wm_pid = XInternAtom(display_, "_NET_WM_PID", False);
    Window root_return = 0;
    Window parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, parent, &root_return, &parent_return, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, children[i], wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &remaining, &data) == Success &&
            data != nullptr) {
            XWindowAttributes attributes;
            if (items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid &&
                XGetWindowAttributes(display_, children[i], &attributes) != 0 && attributes.map_state == IsViewable)
                found = children[i];
            XFree(data);
        }
        if (found == 0)
            found = find_window_of(children[i], pid);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

Window x11_display::wait_for_window_of(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (const Window window = find_window_of(DefaultRootWindow(display_), pid))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

std::string x11_display::title_of(Window window)
{
    char* name = nullptr;
    if (XFetchName(display_, window, &name) == 0 || name == nullptr)
        return {};
    std::string title(name);
    XFree(name);
    return title;
}

void x11_display::size_of(Window window, int& width, int& height)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, window, &attributes);
    width = attributes.width;
    height = attributes.height;
}

void x11_display::resize(Window window, int width, int height)
{
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

void x11_display::send_close_request(Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

pixels x11_display::capture(x_window window)
{
    int width = 0;
    int height = 0;
    size_of(window, width, height);
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<unsigned char>((pixel >> shift) & mask);
    };
    std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, height - 1 - y);
            unsigned char* out = &bytes[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4];
            out[0] = channel(pixel, image->red_mask);
            out[1] = channel(pixel, image->green_mask);
            out[2] = channel(pixel, image->blue_mask);
            out[3] = 255;
        }
    }
    XDestroyImage(image);
    return pixels(width, height, std::move(bytes));
}

testing::AssertionResult eventually_shows(x11_display& display, x_window window, const picture_check& check)
{
    testing::AssertionResult result = testing::AssertionFailure();
    for (int attempt = 0; attempt < 20 && !result; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        result = matches_picture(display.capture(window), check);
    }
    return result;
}
