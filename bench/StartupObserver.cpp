// Start-up time and peak memory of programs, watched from outside through the X server, so
// that the programs run exactly as users start them.
//
// For every program a first run, not counted, records what its window finally shows: the
// frame once nothing has been drawn for a while, and the frame it settles to once it has lost
// the keyboard focus (whether the first paint comes before or after the focus arrives is the
// X server's timing, not the program's start-up). Every counted run then times, from just
// before fork():
//   mapped   the top-level window with the child's _NET_WM_PID is mapped
//   painted  the window's contents first equal one of the recorded frames (checked at the map
//            and on every XDamage report, so a complete frame is seen when the server has it)
// Peak memory is the child's maximum resident set (wait4), taken after a short settle time.
// The programs alternate, in turn leading, so that drift on a busy machine hits both alike.
//
// Usage: bench_startup [--runs N] [--settle-ms MS] [--frames DIR] [--verbose] BASELINE PROGRAM
// --frames writes the recorded frames to DIR/<name>.ppm and DIR/<name>-unfocused.ppm.
// The first program is the yardstick; ratios are PROGRAM / BASELINE. Needs DISPLAY (Xvfb).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kTimeoutMs = 20000;
// With nothing drawn for this long after the map, the window counts as finished.
constexpr double kQuietMs = 1500;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Windows vanish when a program is killed; requests about them may fail.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

struct Frame
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const Frame&) const = default;
    bool empty() const { return pixels.empty(); }
};

struct Sample
{
    double mappedMs = -1;
    double paintedMs = -1;
    long peakKiB = -1;
};

struct Program
{
    std::string path;
    std::string name;
    Frame focusedFrame;
    Frame unfocusedFrame;
    std::vector<Sample> samples;
};

// Where a frame still differs from the final one, for --verbose.
std::string describeDifference(const Frame& frame, const Program& program)
{
    if (frame == program.focusedFrame)
        return "final frame";
    if (frame == program.unfocusedFrame)
        return "final frame, without focus";
    const Frame& final = program.focusedFrame;
    if (frame.width != final.width || frame.height != final.height)
        return "other size";
    int left = frame.width, top = frame.height, right = -1, bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(frame.width) + std::size_t(x);
            if (frame.pixels[i] != final.pixels[i]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return "differs in " + std::to_string(right - left + 1) + "x" +
           std::to_string(bottom - top + 1) + " at " + std::to_string(left) + "," +
           std::to_string(top);
}

class Observer
{
public:
    explicit Observer(bool verbose) : verbose(verbose) {}

    bool open()
    {
        display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "cannot open the X display (DISPLAY=%s)\n",
                         getenv("DISPLAY") ? getenv("DISPLAY") : "");
            return false;
        }
        XSetErrorHandler(ignoreErrors);
        int damageError = 0;
        if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            return false;
        }
        root = DefaultRootWindow(display);
        pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        // Out of the way, so that no window starts with the pointer over it.
        XWarpPointer(display, None, root, 0, 0, 0, 0, DisplayWidth(display, 0) - 1,
                     DisplayHeight(display, 0) - 1);
        XSelectInput(display, root, SubstructureNotifyMask);
        XSync(display, True);
        return true;
    }

    // Runs the program until its window has stayed unchanged for a while and keeps that
    // frame; then takes the keyboard focus away and keeps the frame it settles to again.
    // Whether the window was painted before or after it got the focus (a focus frame
    // drawn or not) depends on the X server's timing, not on the program's start-up.
    bool recordFinalFrames(Program& program)
    {
        Run run = start(program.path);
        if (run.pid < 0)
            return false;
        Frame frame;
        int frames = 0;
        const double deadline = run.started + kTimeoutMs;
        while (run.window == None && nowMs() < deadline && !exited(run)) {
            XEvent event;
            if (nextEvent(event, deadline - nowMs()) && handleMap(run, event)) {
                frame = grab(run.window);
                frames = 1;
            }
        }
        if (run.window != None) {
            frames += settle(run, frame);
            program.focusedFrame = frame;
            XSetInputFocus(display, root, RevertToNone, CurrentTime);
            settle(run, frame);
            program.unfocusedFrame = frame;
        }
        finish(run);
        if (verbose)
            std::printf("%s: %d distinct frames from the map on, final %dx%d, %s without focus\n",
                        program.name.c_str(), frames, program.focusedFrame.width,
                        program.focusedFrame.height,
                        program.unfocusedFrame == program.focusedFrame ? "same" : "other");
        if (run.window == None || program.focusedFrame.empty()) {
            std::fprintf(stderr, "%s showed no window\n", program.path.c_str());
            return false;
        }
        return true;
    }

    Sample measure(const Program& program, double settleMs)
    {
        Sample sample;
        Run run = start(program.path);
        if (run.pid < 0)
            return sample;
        while (sample.paintedMs < 0 && nowMs() - run.started < kTimeoutMs && !exited(run)) {
            XEvent event;
            if (!nextEvent(event, run.started + kTimeoutMs - nowMs()))
                continue;
            const double at = nowMs();
            bool check = false;
            if (handleMap(run, event)) {
                sample.mappedMs = at - run.started;
                check = true; // it may have drawn before the damage report was asked for
            } else if (isDamage(run, event)) {
                XDamageSubtract(display, run.damage, None, None);
                check = true;
            }
            if (!check)
                continue;
            const Frame frame = grab(run.window);
            if (frame == program.focusedFrame || frame == program.unfocusedFrame)
                sample.paintedMs = at - run.started;
            if (verbose)
                std::printf("  %s %8.1f ms %s\n", program.name.c_str(), at - run.started,
                            describeDifference(frame, program).c_str());
        }
        // Whatever the program allocates right after showing itself belongs to start-up too.
        const double until = nowMs() + settleMs;
        while (nowMs() < until)
            usleep(10000);
        sample.peakKiB = finish(run);
        return sample;
    }

private:
    struct Run
    {
        pid_t pid = -1;
        bool reaped = false;
        rusage usage{};
        double started = 0;
        Window window = None;
        Damage damage = 0;
    };

    // Follows the window's drawing until it has been left alone for a while; returns how
    // many times its contents changed.
    int settle(Run& run, Frame& frame)
    {
        int changes = 0;
        double lastChange = nowMs();
        while (nowMs() - lastChange < kQuietMs && nowMs() - run.started < kTimeoutMs &&
               !exited(run)) {
            XEvent event;
            if (!nextEvent(event, lastChange + kQuietMs - nowMs()) || !isDamage(run, event))
                continue;
            XDamageSubtract(display, run.damage, None, None);
            Frame now = grab(run.window);
            if (!(now == frame)) {
                frame = std::move(now);
                lastChange = nowMs();
                ++changes;
            }
        }
        return changes;
    }

    Run start(const std::string& path)
    {
        XSync(display, True); // nothing left over from an earlier run
        Run run;
        run.started = nowMs();
        run.pid = fork();
        if (run.pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
            execv(path.c_str(), argv);
            _exit(127);
        }
        if (run.pid < 0)
            std::perror("fork");
        return run;
    }

    // A program that ends by itself has failed to start; no use waiting for its window.
    bool exited(Run& run)
    {
        int status = 0;
        if (!run.reaped && wait4(run.pid, &status, WNOHANG, &run.usage) == run.pid) {
            run.reaped = true;
            std::fprintf(stderr, "%d ended by itself\n", int(run.pid));
        }
        return run.reaped;
    }

    // Kills the program and returns its peak resident set in KiB.
    long finish(Run& run)
    {
        if (!run.reaped) {
            kill(run.pid, SIGKILL);
            int status = 0;
            wait4(run.pid, &status, 0, &run.usage);
            run.reaped = true;
        }
        XSync(display, True);
        return run.usage.ru_maxrss;
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

    // On the map of the run's top-level window: starts damage reports for it.
    bool handleMap(Run& run, const XEvent& event)
    {
        if (run.window != None || event.type != MapNotify || event.xmap.override_redirect)
            return false;
        if (windowPid(event.xmap.window) != run.pid)
            return false;
        run.window = event.xmap.window;
        run.damage = XDamageCreate(display, run.window, XDamageReportNonEmpty);
        return true;
    }

    bool isDamage(const Run& run, const XEvent& event) const
    {
        return run.window != None && event.type == damageEvent + XDamageNotify &&
               reinterpret_cast<const XDamageNotifyEvent&>(event).damage == run.damage;
    }

    long windowPid(Window window)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long rest = 0;
        unsigned char* data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &rest, &data) == Success &&
            data && format == 32 && count == 1)
            pid = long(*reinterpret_cast<unsigned long*>(data));
        if (data)
            XFree(data);
        return pid;
    }

    Frame grab(Window window)
    {
        Frame frame;
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes))
            return frame;
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                                  unsigned(attributes.height), AllPlanes, ZPixmap);
        if (!image)
            return frame;
        frame.width = image->width;
        frame.height = image->height;
        frame.pixels.reserve(std::size_t(frame.width) * std::size_t(frame.height));
        const unsigned long mask = image->red_mask | image->green_mask | image->blue_mask;
        // Pixels straight from the buffer when they are plain native words: a slow grab of
        // a large window would delay noticing its next frame.
        const bool native =
            image->bits_per_pixel == 32 &&
            image->byte_order == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst);
        for (int y = 0; y < frame.height; ++y) {
            const char* row = image->data + std::ptrdiff_t(y) * image->bytes_per_line;
            for (int x = 0; x < frame.width; ++x) {
                unsigned long pixel = 0;
                if (native) {
                    std::uint32_t word = 0;
                    std::memcpy(&word, row + std::ptrdiff_t(x) * 4, sizeof word);
                    pixel = word;
                } else {
                    pixel = XGetPixel(image, x, y);
                }
                frame.pixels.push_back(std::uint32_t(pixel & mask));
            }
        }
        XDestroyImage(image);
        return frame;
    }

    bool verbose = false;
    Display* display = nullptr;
    Window root = None;
    Atom pidAtom = None;
    int damageEvent = 0;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

template <typename Field> std::vector<double> column(const Program& program, Field field)
{
    std::vector<double> values;
    for (const Sample& sample : program.samples)
        values.push_back(double(sample.*field));
    return values;
}

bool savePpm(const Frame& frame, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", frame.width, frame.height);
    for (const std::uint32_t pixel : frame.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                      static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

std::string baseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 20;
    double settleMs = 500;
    bool verbose = false;
    std::string framesDir;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--settle-ms" && i + 1 < argc)
            settleMs = std::max(0.0, std::atof(argv[++i]));
        else if (arg == "--frames" && i + 1 < argc)
            framesDir = argv[++i];
        else if (arg == "--verbose")
            verbose = true;
        else
            programs.push_back(Program{arg, baseName(arg), {}, {}, {}});
    }
    if (programs.size() != 2) {
        std::fprintf(stderr,
                     "usage: %s [--runs N] [--settle-ms MS] [--frames DIR] [--verbose] BASELINE "
                     "PROGRAM\n",
                     argv[0]);
        return 2;
    }

    Observer observer(verbose);
    if (!observer.open())
        return 1;
    for (Program& program : programs) {
        if (!observer.recordFinalFrames(program))
            return 1;
        // The frame assumes a 24-bit visual (Xvfb's usual 0xRRGGBB pixels).
        if (!framesDir.empty() &&
            (!savePpm(program.focusedFrame, framesDir + "/" + program.name + ".ppm") ||
             !savePpm(program.unfocusedFrame, framesDir + "/" + program.name + "-unfocused.ppm")))
            std::fprintf(stderr, "cannot write %s/%s.ppm\n", framesDir.c_str(),
                         program.name.c_str());
    }

    for (int round = 0; round < runs; ++round) {
        for (int k = 0; k < 2; ++k) {
            Program& program = programs[std::size_t((round + k) % 2)];
            program.samples.push_back(observer.measure(program, settleMs));
            const Sample& s = program.samples.back();
            if (s.paintedMs < 0) {
                std::fprintf(stderr, "%s: no complete frame within %.0f ms\n", program.name.c_str(),
                             kTimeoutMs);
                return 1;
            }
        }
    }

    std::printf("%d runs each, alternating; medians (min..max)\n", runs);
    std::printf("%-24s %24s %24s %22s\n", "program", "mapped ms", "painted ms", "peak RSS KiB");
    for (const Program& p : programs) {
        const auto mapped = column(p, &Sample::mappedMs);
        const auto painted = column(p, &Sample::paintedMs);
        const auto peak = column(p, &Sample::peakKiB);
        std::printf("%-24s %8.1f (%5.1f..%6.1f) %8.1f (%5.1f..%6.1f) %8.0f (%5.0f..%5.0f)\n",
                    p.name.c_str(), median(mapped), *std::min_element(mapped.begin(), mapped.end()),
                    *std::max_element(mapped.begin(), mapped.end()), median(painted),
                    *std::min_element(painted.begin(), painted.end()),
                    *std::max_element(painted.begin(), painted.end()), median(peak),
                    *std::min_element(peak.begin(), peak.end()),
                    *std::max_element(peak.begin(), peak.end()));
    }
    const Program& base = programs[0];
    const Program& real = programs[1];
    const double timeRatio =
        median(column(real, &Sample::paintedMs)) / median(column(base, &Sample::paintedMs));
    const double memoryRatio =
        median(column(real, &Sample::peakKiB)) / median(column(base, &Sample::peakKiB));
    // Each round's two runs met the same load: their ratio is steadier on a busy machine.
    std::vector<double> pairedRatios;
    for (std::size_t i = 0; i < real.samples.size(); ++i)
        pairedRatios.push_back(real.samples[i].paintedMs / base.samples[i].paintedMs);
    std::printf("first painted frame: %.2f x the yardstick (target <= 1.5) %s; "
                "median of the rounds' ratios %.2f\n",
                timeRatio, timeRatio <= 1.5 ? "met" : "MISSED", median(pairedRatios));
    std::printf("peak memory:         %.2f x the yardstick (target <= 1.3) %s\n", memoryRatio,
                memoryRatio <= 1.3 ? "met" : "MISSED");
    return 0;
}
