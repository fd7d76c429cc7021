/* Starts a program and prints the milliseconds from its start until its first
 * window is mapped on the X display, then ends it. Used by startup.sh.
 *
 *   waitmap [-s settle-ms] [-t timeout-ms] program [arguments...]
 *
 * With -s the program runs that much longer after the map before it is ended
 * (so that what it does after showing its window is done too). Exit status 0
 * when a window was mapped, 1 on a timeout, 2 on a usage or display error. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    long settle = 0;
    long timeout = 30000;
    int first = 1;
    while (first + 1 < argc && argv[first][0] == '-') {
        if (strcmp(argv[first], "-s") == 0) {
            settle = atol(argv[first + 1]);
        } else if (strcmp(argv[first], "-t") == 0) {
            timeout = atol(argv[first + 1]);
        } else {
            break;
        }
        first += 2;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: waitmap [-s settle-ms] [-t timeout-ms] program [arguments...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "waitmap: cannot open the display\n");
        return 2;
    }
    /* Without a window manager a program's top-level windows are children of
     * the root window, so their maps are reported to it. */
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }
    int mapped = 0;
    double elapsed = 0;
    struct pollfd watch = {ConnectionNumber(display), POLLIN, 0};
    while (!mapped && (elapsed = nowMs() - start) < timeout) {
        while (!mapped && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            mapped = event.type == MapNotify;
        }
        if (!mapped) {
            poll(&watch, 1, 5);
            if (waitpid(child, NULL, WNOHANG) == child) {
                fprintf(stderr, "waitmap: the program ended before it showed a window\n");
                return 1;
            }
        }
    }
    elapsed = nowMs() - start;
    if (mapped && settle > 0) {
        struct timespec pause = {settle / 1000, (settle % 1000) * 1000000L};
        nanosleep(&pause, NULL);
    }
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    XCloseDisplay(display);
    if (!mapped) {
        fprintf(stderr, "waitmap: no window within %ld ms\n", timeout);
        return 1;
    }
    printf("%.1f\n", elapsed);
    return 0;
}
