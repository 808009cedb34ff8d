// Finds a program's top-level window on the X display and acts on it as a window manager or a user
// would: reads its title and size, resizes it, and sends it the close request.
#pragma once

#include "tests/support/picture.hpp"

#include <chrono>
#include <string>
#include <sys/types.h>

// Xlib's own header defines macros (None, Bool, Status) that clash with other code, so it stays
// in the .cpp; a window is Xlib's XID, an unsigned long.
using x_window = unsigned long;
struct _XDisplay;

class x11_display {
public:
    x11_display();
    ~x11_display();
    x11_display(const x11_display&) = delete;
    x11_display& operator=(const x11_display&) = delete;

    bool is_open() const { return display_ != nullptr; }

    // The mapped window whose _NET_WM_PID is pid, or 0 when none appears in time.
    x_window wait_for_window_of(pid_t pid, std::chrono::milliseconds timeout);
    std::string title_of(x_window window);
    void size_of(x_window window, int& width, int& height);
    void resize(x_window window, int width, int height);
    // The ICCCM close request: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
    void send_close_request(x_window window);
    // What the window shows on screen, as the X server has it (alpha is always 255).
    pixels capture(x_window window);

private:
    x_window find_window_of(x_window parent, pid_t pid);

    _XDisplay* display_;
};

// Whether the window comes to show the picture within a couple of seconds of frames.
testing::AssertionResult eventually_shows(x11_display& display, x_window window, const picture_check& check = {});
