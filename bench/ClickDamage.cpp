// What a click on the grid costs on a large screen, watched from outside through the X server:
// the program's window is made as large as the screen (3840 x 2160 from bench/click), then
// every round points at a cell, waits until the status line has followed the pointer, and
// clicks. It reports the time from sending the click to the first damage report of the
// window, and what the click repainted in all: its rectangles and their share of the window.
//
// Usage: bench_click_damage [--rounds N] PROGRAM
// Needs DISPLAY (Xvfb without a window manager: the window is sized by this program).

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

constexpr double kTimeoutMs = 20000;
// Nothing drawn for this long: the window has finished what it was doing.
constexpr double kQuietMs = 150;
// The strip below the grid; its pointer and size texts are not clicked.
constexpr int kStripHeight = 60;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

struct Damaged
{
    double firstMs = -1; // from the click to the first report
    long pixels = 0;
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
        XMoveResizeWindow(display, window, 0, 0, unsigned(width), unsigned(height));
        XSync(display, False);
        collect(1500);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        width = attributes.width;
        height = attributes.height;
        return true;
    }

    int windowWidth() const { return width; }
    int windowHeight() const { return height; }

    // Points at (x, y), lets the window settle, then clicks there.
    Damaged click(int x, int y)
    {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
        collect(kQuietMs);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        const double clicked = nowMs();
        return collect(kQuietMs, clicked);
    }

    void finish()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

private:
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
            if (result.firstMs < 0 && since >= 0)
                result.firstMs = last - since;
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
        if (XPending(display) == 0) {
            XFlush(display);
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            if (poll(&fd, 1, std::clamp(int(timeoutMs) + 1, 0, 100)) <= 0)
                return false;
            if (XPending(display) == 0)
                return false;
        }
        XNextEvent(display, &event);
        return true;
    }

    long windowPid(Window candidate)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, rest = 0;
        unsigned char* data = nullptr;
        long found = -1;
        if (XGetWindowProperty(display, candidate, pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &rest, &data) == Success &&
            data && format == 32 && count == 1)
            found = long(*reinterpret_cast<unsigned long*>(data));
        if (data)
            XFree(data);
        return found;
    }

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

} // namespace

int main(int argc, char** argv)
{
    int rounds = 30;
    std::string program;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else
            program = argv[i];
    }
    if (program.empty()) {
        std::fprintf(stderr, "usage: %s [--rounds N] PROGRAM\n", argv[0]);
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
    // The first click also waits for the last pictures: not counted.
    clicker.click(width / 3, gridHeight / 3);

    std::vector<double> times, shares;
    Damaged typical;
    for (int round = 0; round < rounds; ++round) {
        // Cells all over the grid, in an order that never repeats the previous one.
        const int x = width * (1 + (round * 7) % 19) / 20;
        const int y = gridHeight * (1 + (round * 3) % 9) / 10;
        const Damaged damaged = clicker.click(x, y);
        if (damaged.firstMs < 0) {
            std::fprintf(stderr, "the click at %d,%d repainted nothing\n", x, y);
            clicker.finish();
            return 1;
        }
        times.push_back(damaged.firstMs);
        shares.push_back(double(damaged.pixels) / (double(width) * height));
        if (round == rounds / 2)
            typical = damaged;
    }
    clicker.finish();

    std::printf("window %dx%d, %d clicks\n", width, height, rounds);
    std::printf("click to first damage: median %.2f ms (%.2f..%.2f)\n", median(times),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
    std::printf("repainted per click: median %.3f%% of the window (%.3f..%.3f%%)\n",
                100 * median(shares), 100 * *std::min_element(shares.begin(), shares.end()),
                100 * *std::max_element(shares.begin(), shares.end()));
    std::printf("one click's rectangles:");
    for (const XRectangle& r : typical.rectangles)
        std::printf(" %dx%d+%d+%d", r.width, r.height, r.x, r.y);
    std::printf("\n");
    return 0;
}
