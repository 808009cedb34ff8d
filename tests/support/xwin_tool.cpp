// quorvel-xwin: finds the window of a process by its pid and waits for it, closes it the way a
// window manager asks, or resizes it. Used by the run script.
//   quorvel-xwin wait PID          prints the window id once the window is mapped
//   quorvel-xwin close PID         sends the close request
//   quorvel-xwin resize PID W H
#include "tests/support/x11_window.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvel-xwin wait|close|resize PID [W H]\n");
        return 2;
    }
    x11_display display;
    if (!display.is_open()) {
        std::fprintf(stderr, "quorvel-xwin: cannot open the X display\n");
        return 1;
    }
    const pid_t pid = static_cast<pid_t>(std::atol(argv[2]));
    const x_window window = display.wait_for_window_of(pid, std::chrono::seconds(20));
    if (window == 0) {
        std::fprintf(stderr, "quorvel-xwin: no window for pid %d\n", static_cast<int>(pid));
        return 1;
    }
    if (std::strcmp(argv[1], "wait") == 0) {
        std::printf("0x%lx\n", window);
    } else if (std::strcmp(argv[1], "close") == 0) {
        display.send_close_request(window);
    } else if (std::strcmp(argv[1], "resize") == 0 && argc == 5) {
        display.resize(window, std::atoi(argv[3]), std::atoi(argv[4]));
    } else {
        std::fprintf(stderr, "quorvel-xwin: unknown command %s\n", argv[1]);
        return 2;
    }
    return 0;
}
