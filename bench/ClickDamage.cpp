// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What a click on the grid costs on a large screen, watched from outside through the X server:
// the program's window is made as large as the screen (3840 x 2160 from bench/click), then
// every round points at a cell, waits until the status line has followed the pointer, presses
// the button, and releases it (a release steps the cell). It reports the time from sending the
// release to the first damage report of the window, and what the click repainted in all: its
// rectangles and their share of the window.
//
// For scale, the rounds alternate with two kinds that cost the whole window, timed alike:
//   resize  the window one pixel lower or back: the program repaints its whole client area
//           (the grid keeps its cells, so it paints the same picture)
//   expose  XClearArea with exposures over the whole window: the program only sends its
//           backing store again, without painting
//
// Usage: bench_click_damage [--rounds N] [--verbose] PROGRAM
// --verbose prints every round.
// Needs DISPLAY (Xvfb without a window manager: the window is sized by this program).

#include "XWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using xwatch::ignoreErrors;
using xwatch::kTimeoutMs;
using xwatch::nowMs;

// Nothing drawn for this long: the window has finished what it was doing.
constexpr double kQuietMs = 150;
// The strip below the grid; its pointer and size texts are not clicked.
constexpr int kStripHeight = 60;

struct Damaged
{
    double firstMs = -1; // from the trigger to the first report
    double lastMs = -1;  // ... and to the last one before the window fell quiet
    long pixels = 0;
    int reports = 0;
    std::vector<XRectangle> rectangles;
};

class Clicker
{
public:
    bool open()
    {
        display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "cannot open the X display\n");
            return false;
        }
        XSetErrorHandler(ignoreErrors);
        int error = 0, major = 0, minor = 0, fixesEvent = 0;
        if (!XDamageQueryExtension(display, &damageEvent, &error) ||
            !XFixesQueryExtension(display, &fixesEvent, &error) ||
            !XTestQueryExtension(display, &fixesEvent, &error, &major, &minor)) {
            std::fprintf(stderr, "the X server lacks DAMAGE, XFIXES or XTEST\n");
            return false;
        }
        XFixesQueryVersion(display, &major, &minor);
        root = DefaultRootWindow(display);
        pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        XSelectInput(display, root, SubstructureNotifyMask);
        region = XFixesCreateRegion(display, nullptr, 0);
        return true;
    }

    bool start(const std::string& path)
    {
        pid = fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const double deadline = nowMs() + kTimeoutMs;
        while (window == None && nowMs() < deadline) {
            XEvent event;
            if (!nextEvent(event, deadline - nowMs()))
                continue;
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                windowPid(event.xmap.window) == pid)
                window = event.xmap.window;
        }
        if (window == None) {
            std::fprintf(stderr, "%s showed no window\n", path.c_str());
            return false;
        }
        damage = XDamageCreate(display, window, XDamageReportNonEmpty);
        // As large as the screen, as a maximised window on a 4K monitor is.
        width = DisplayWidth(display, DefaultScreen(display));
        height = DisplayHeight(display, DefaultScreen(display));
        if (!resize(width, height)) {
            std::fprintf(stderr, "the window did not take the size %dx%d\n", width, height);
            return false;
        }
        // The first pictures, the status texts: all drawn.
        collect(1500);
        return true;
    }

    int windowWidth() const { return width; }
    int windowHeight() const { return height; }

    // Points at (x, y), lets the window settle, presses, then releases there.
    Damaged click(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
        collect(kQuietMs);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XSync(display, False);
        collect(kQuietMs);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        // The clock is read before the request leaves: were this process held up between the
        // two, the program could have answered before the clock was read.
        const double released = nowMs();
        XFlush(display);
        return collect(kQuietMs, released);
    }

    // The window one pixel lower, or back to the full height.
    Damaged resizeWhole()
    {
        const int full = DisplayHeight(display, DefaultScreen(display));
        XMoveResizeWindow(display, window, 0, 0, unsigned(width),
                          unsigned(height == full ? full - 1 : full));
        const double sent = nowMs();
        XFlush(display);
        Damaged damaged = collect(kQuietMs, sent);
        refreshSize();
        return damaged;
    }

    Damaged exposeWhole()
    {
        XClearArea(display, window, 0, 0, 0, 0, True);
        const double sent = nowMs();
        XFlush(display);
        return collect(kQuietMs, sent);
    }

    void finish()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    // Asks for the size and waits until the window has it.
    bool resize(int w, int h)
    {
        XMoveResizeWindow(display, window, 0, 0, unsigned(w), unsigned(h));
        const double deadline = nowMs() + kTimeoutMs;
        while (nowMs() < deadline) {
            XEvent event;
            if (!nextEvent(event, deadline - nowMs()))
                continue;
            if (event.type == ConfigureNotify && event.xconfigure.window == window &&
                event.xconfigure.width == w && event.xconfigure.height == h)
                break;
        }
        // Damage reported meanwhile went unread: start afresh, so the next report comes.
        XDamageSubtract(display, damage, None, None);
        refreshSize();
        return width == w && height == h;
    }

    void refreshSize()
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        width = attributes.width;
        height = attributes.height;
    }

    // Takes the window's damage until it has been quiet for quietMs.
    Damaged collect(double quietMs, double since = -1)
    {
        Damaged result;
        std::vector<XRectangle> all;
        double last = nowMs();
        while (nowMs() - last < quietMs && nowMs() - last < kTimeoutMs) {
            XEvent event;
            if (!nextEvent(event, last + quietMs - nowMs()))
                continue;
            if (event.type != damageEvent + XDamageNotify ||
                reinterpret_cast<XDamageNotifyEvent&>(event).damage != damage)
                continue;
            last = nowMs();
            ++result.reports;
            if (since >= 0) {
                if (result.firstMs < 0)
                    result.firstMs = last - since;
                result.lastMs = last - since;
            }
            XDamageSubtract(display, damage, None, region);
            int count = 0;
            XRectangle* rectangles = XFixesFetchRegion(display, region, &count);
            for (int i = 0; i < count; ++i)
                all.push_back(rectangles[i]);
            if (rectangles)
                XFree(rectangles);
        }
        // Rectangles reported twice count once: the window's area each covers, summed over a
        // grid of the rectangles' edges.
        result.rectangles = all;
        result.pixels = coveredPixels(all);
        return result;
    }

    static long coveredPixels(const std::vector<XRectangle>& rectangles)
    {
        std::vector<int> xs, ys;
        for (const XRectangle& r : rectangles) {
            xs.insert(xs.end(), {r.x, r.x + r.width});
            ys.insert(ys.end(), {r.y, r.y + r.height});
        }
        std::sort(xs.begin(), xs.end());
        xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
        std::sort(ys.begin(), ys.end());
        ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
        long pixels = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
                const bool covered =
                    std::any_of(rectangles.begin(), rectangles.end(), [&](const XRectangle& r) {
                        return r.x <= xs[i] && xs[i + 1] <= r.x + r.width && r.y <= ys[j] &&
                               ys[j + 1] <= r.y + r.height;
                    });
                if (covered)
                    pixels += long(xs[i + 1] - xs[i]) * long(ys[j + 1] - ys[j]);
            }
        }
        return pixels;
    }

    bool nextEvent(XEvent& event, double timeoutMs)
    {
        return xwatch::nextEvent(display, event, timeoutMs);
    }

    long windowPid(Window candidate) { return xwatch::windowPid(display, pidAtom, candidate); }

    Display* display = nullptr;
    Window root = None;
    Window window = None;
    Atom pidAtom = None;
    Damage damage = 0;
    XserverRegion region = 0;
    int damageEvent = 0;
    int width = 0;
    int height = 0;
    pid_t pid = -1;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The rounds of one kind: times and shares of the window.
struct Kind
{
    explicit Kind(const char* kindName) : name(kindName) {}

    const char* name;
    std::vector<double> first, last, shares;
    Damaged typical;

    void add(const Damaged& damaged, int width, int height)
    {
        first.push_back(damaged.firstMs);
        last.push_back(damaged.lastMs);
        shares.push_back(double(damaged.pixels) / (double(width) * height));
    }

    void print() const
    {
        const auto spread = [](const std::vector<double>& v, double scale) {
            std::printf("%.2f (%.2f..%.2f)", scale * median(v),
                        scale * *std::min_element(v.begin(), v.end()),
                        scale * *std::max_element(v.begin(), v.end()));
        };
        std::printf("%-7s first damage ", name);
        spread(first, 1);
        std::printf(" ms, last ");
        spread(last, 1);
        std::printf(" ms, repainted ");
        spread(shares, 100);
        std::printf(" %% of the window\n");
    }
};

void printRectangles(const char* name, const Damaged& damaged)
{
    std::printf("one %s's rectangles:", name);
    for (const XRectangle& r : damaged.rectangles)
        std::printf(" %dx%d+%d+%d", r.width, r.height, r.x, r.y);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 30;
    bool verbose = false;
    std::string program;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else
            program = argv[i];
    }
    if (program.empty()) {
        std::fprintf(stderr, "usage: %s [--rounds N] [--verbose] PROGRAM\n", argv[0]);
        return 2;
    }
    Clicker clicker;
    if (!clicker.open() || !clicker.start(program)) {
        clicker.finish();
        return 1;
    }
    const int width = clicker.windowWidth();
    const int height = clicker.windowHeight();
    const int gridHeight = height - kStripHeight;
    // The first of each kind is not counted: the first click also waits for the last pictures,
    // the first resizes make the program's window buffer fit the other height.
    clicker.click(width / 3, gridHeight / 3);
    clicker.resizeWhole();
    clicker.resizeWhole();
    clicker.exposeWhole();

    Kind click("click"), resize("resize"), expose("expose");
    for (int round = 0; round < rounds; ++round) {
        // Each kind leads in turn, so that drift on a busy machine hits all alike.
        for (int turn = 0; turn < 3; ++turn) {
            const int which = (round + turn) % 3;
            Damaged damaged;
            Kind* kind = nullptr;
            if (which == 0) {
                // Cells all over the grid, in an order that never repeats the previous one.
                const int x = width * (1 + (round * 7) % 19) / 20;
                const int y = gridHeight * (1 + (round * 3) % 9) / 10;
                damaged = clicker.click(x, y);
                kind = &click;
            } else if (which == 1) {
                damaged = clicker.resizeWhole();
                kind = &resize;
            } else {
                damaged = clicker.exposeWhole();
                kind = &expose;
            }
            if (damaged.firstMs < 0) {
                std::fprintf(stderr, "a %s round repainted nothing\n", kind->name);
                clicker.finish();
                return 1;
            }
            kind->add(damaged, clicker.windowWidth(), clicker.windowHeight());
            if (verbose)
                std::printf("round %d %-6s first %.2f ms, last %.2f ms, %ld pixels in %d reports\n",
                            round, kind->name, damaged.firstMs, damaged.lastMs, damaged.pixels,
                            damaged.reports);
            if (round == rounds / 2)
                kind->typical = damaged;
        }
    }
    clicker.finish();

    std::printf("window %dx%d, %d rounds of each kind; medians (min..max)\n", width, height,
                rounds);
    click.print();
    resize.print();
    expose.print();
    std::printf("whole window / click, medians of the first damage: repainted (resize) %.1f x, "
                "sent again (expose) %.1f x\n",
                median(resize.first) / median(click.first),
                median(expose.first) / median(click.first));
    printRectangles("click", click.typical);
    printRectangles("resize", resize.typical);
    return 0;
}
