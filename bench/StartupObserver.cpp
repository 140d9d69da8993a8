// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up time and peak memory of programs, watched from outside through the X server, so
// that the programs run exactly as users start them.
//
// For every program a first run, not counted, records what its window finally shows: the
// frame once nothing has been drawn for a while, and the frame it settles to once it has lost
// the keyboard focus (whether the first paint comes before or after the focus arrives is the
// X server's timing, not the program's start-up). A final frame of one colour is refused: a
// window that never showed anything would otherwise count as finished the moment it maps.
// Every counted run then times, from just before fork() (exec follows at once):
//   mapped   the top-level window with the child's _NET_WM_PID is mapped
//   painted  the window's contents first equal one of the recorded frames, every pixel (checked
//            at the map and on every XDamage report, so a complete frame is seen when the
//            server has it): the first frame a user sees that is the finished window
// and whether the window showed anything else from its map on (black, or half drawn), and for
// how long: the time between the two.
// Peak memory is the child's maximum resident set (wait4), taken once it has stopped using
// the processor, so that work it does after showing itself counts too.
// The cases alternate, each leading in turn, so that drift on a busy machine hits all alike.
//
// The yardstick is told the size of the program's window (--size WxH after its own
// arguments), so that both cost the X server and this observer alike; frames are read
// through shared memory (MIT-SHM) where the server offers it.
//
// Usage: bench_startup [--runs N] [--frames DIR] [--verbose] [--photos-env NAME=VALUE]
//                      BASELINE [BASELINE-ARG] PROGRAM
// --photos-env adds a third case: PROGRAM again with NAME=VALUE in its environment (a folder
// of camera pictures), compared with PROGRAM alone. --frames writes the recorded frames to
// DIR/<case>.ppm and DIR/<case>-unfocused.ppm. Needs DISPLAY (Xvfb).

#include "XWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
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

using xwatch::ignoreErrors;
using xwatch::kTimeoutMs;
using xwatch::nowMs;

// With nothing drawn for this long after the map, the window counts as finished.
constexpr double kQuietMs = 1500;
// A program whose processor time has not grown for this long has finished starting.
constexpr double kIdleMs = 300;

struct Frame
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const Frame&) const = default;
    bool empty() const { return pixels.empty(); }
    bool oneColour() const
    {
        return std::all_of(pixels.begin(), pixels.end(),
                           [this](std::uint32_t pixel) { return pixel == pixels.front(); });
    }
};

struct Sample
{
    double mappedMs = -1;
    double paintedMs = -1;
    long peakKiB = -1;

    // How long the window was mapped without showing its finished contents.
    double unfinishedMs() const { return paintedMs - mappedMs; }
};

struct Program
{
    std::string path;
    std::string name;
    std::vector<std::string> args;
    std::vector<std::string> env;
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
        useShm = XShmQueryExtension(display);
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
        Run run = start(program);
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
        if (program.focusedFrame.oneColour()) {
            std::fprintf(stderr, "%s showed nothing but one colour in its window\n",
                         program.path.c_str());
            return false;
        }
        return true;
    }

    Sample measure(const Program& program)
    {
        Sample sample;
        Run run = start(program);
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
        // Whatever the program reads right after showing itself belongs to start-up too.
        waitUntilIdle(run);
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

    Run start(const Program& program)
    {
        XSync(display, True); // nothing left over from an earlier run
        // Everything the child needs is ready before the clock starts.
        std::vector<char*> argv{const_cast<char*>(program.path.c_str())};
        for (const std::string& arg : program.args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        Run run;
        run.started = nowMs();
        run.pid = fork();
        if (run.pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            for (const std::string& assignment : program.env)
                putenv(const_cast<char*>(assignment.c_str()));
            execv(program.path.c_str(), argv.data());
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

    // Waits until the program's processor time stops growing (at most the time-out).
    void waitUntilIdle(Run& run)
    {
        const std::string statPath = "/proc/" + std::to_string(run.pid) + "/stat";
        long long last = -1;
        double since = nowMs();
        while (nowMs() - since < kIdleMs && nowMs() - run.started < kTimeoutMs && !exited(run)) {
            usleep(20000);
            const long long ticks = cpuTicks(statPath);
            if (ticks != last) {
                last = ticks;
                since = nowMs();
            }
        }
    }

    // User plus system time of a process, in clock ticks; -1 when it cannot be read.
    static long long cpuTicks(const std::string& statPath)
    {
        FILE* file = std::fopen(statPath.c_str(), "r");
        if (!file)
            return -1;
        char text[1024] = {};
        const std::size_t length = std::fread(text, 1, sizeof text - 1, file);
        std::fclose(file);
        // The command name may hold spaces and brackets: the fields follow its last ')'.
        const char* end = static_cast<const char*>(memrchr(text, ')', length));
        unsigned long long user = 0, system = 0;
        if (!end || std::sscanf(end + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                                &user, &system) != 2)
            return -1;
        return static_cast<long long>(user + system);
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
        return xwatch::nextEvent(display, event, timeoutMs);
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

    long windowPid(Window window) { return xwatch::windowPid(display, pidAtom, window); }

    // Reads the window's contents; through a shared-memory image kept between grabs where the
    // server offers one, so that a frame costs about one copy whatever the window's size.
    Frame grab(Window window)
    {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes))
            return Frame();
        if (shmImage &&
            (shmImage->width != attributes.width || shmImage->height != attributes.height ||
             shmImage->depth != attributes.depth))
            releaseSharedImage();
        if (useShm && !shmImage)
            createSharedImage(attributes);
        if (shmImage) {
            if (!XShmGetImage(display, window, shmImage, 0, 0, AllPlanes))
                return Frame();
            return toFrame(shmImage);
        }
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                                  unsigned(attributes.height), AllPlanes, ZPixmap);
        if (!image)
            return Frame();
        Frame frame = toFrame(image);
        XDestroyImage(image);
        return frame;
    }

    void createSharedImage(const XWindowAttributes& attributes)
    {
        XImage* image = XShmCreateImage(display, attributes.visual, unsigned(attributes.depth),
                                        ZPixmap, nullptr, &shmInfo, unsigned(attributes.width),
                                        unsigned(attributes.height));
        if (!image)
            return;
        shmInfo.shmid =
            shmget(IPC_PRIVATE, std::size_t(image->bytes_per_line) * std::size_t(image->height),
                   IPC_CREAT | 0600);
        if (shmInfo.shmid < 0) {
            XDestroyImage(image);
            return;
        }
        shmInfo.shmaddr = image->data = static_cast<char*>(shmat(shmInfo.shmid, nullptr, 0));
        shmInfo.readOnly = False;
        const bool attached =
            shmInfo.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &shmInfo);
        XSync(display, False);
        // Marked for removal now: it goes once both sides have detached, even after a crash.
        shmctl(shmInfo.shmid, IPC_RMID, nullptr);
        if (!attached) {
            if (shmInfo.shmaddr != reinterpret_cast<char*>(-1))
                shmdt(shmInfo.shmaddr);
            image->data = nullptr;
            XDestroyImage(image);
            useShm = false;
            return;
        }
        shmImage = image;
    }

    void releaseSharedImage()
    {
        XShmDetach(display, &shmInfo);
        XSync(display, False);
        shmdt(shmInfo.shmaddr);
        shmImage->data = nullptr;
        XDestroyImage(shmImage);
        shmImage = nullptr;
    }

    static Frame toFrame(const XImage* image)
    {
        Frame frame;
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
                    pixel = XGetPixel(const_cast<XImage*>(image), x, y);
                }
                frame.pixels.push_back(std::uint32_t(pixel & mask));
            }
        }
        return frame;
    }

public:
    bool sharedMemory() const { return useShm; }

private:
    bool verbose = false;
    bool useShm = false;
    XShmSegmentInfo shmInfo{};
    XImage* shmImage = nullptr;
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

// The q-quantile of values, by the nearest rank.
double quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::size_t(q * double(values.size() - 1) + 0.5)];
}

// Each round's runs met the same load: their ratios are steadier on a busy machine than
// the ratio of medians. Reports both, with the rounds' spread.
void compare(const char* what, const Program& real, const Program& base, double target)
{
    std::vector<double> paired;
    for (std::size_t i = 0; i < real.samples.size() && i < base.samples.size(); ++i)
        paired.push_back(real.samples[i].paintedMs / base.samples[i].paintedMs);
    const double ratio =
        median(column(real, &Sample::paintedMs)) / median(column(base, &Sample::paintedMs));
    std::printf("%s each round's ratio:", what);
    for (const double value : paired)
        std::printf(" %.2f", value);
    std::printf("\n");
    std::printf("%s first finished frame: %.2f x (target <= %.1f) %s; rounds' ratios median "
                "%.2f, "
                "quartiles %.2f..%.2f, range %.2f..%.2f\n",
                what, ratio, target, ratio <= target ? "met" : "MISSED", median(paired),
                quantile(paired, 0.25), quantile(paired, 0.75), quantile(paired, 0),
                quantile(paired, 1));
}

void printRow(const Program& p)
{
    const auto mapped = column(p, &Sample::mappedMs);
    const auto painted = column(p, &Sample::paintedMs);
    const auto peak = column(p, &Sample::peakKiB);
    std::printf("%-18s %7.1f (%5.1f..%6.1f) %7.1f (%5.1f..%6.1f) %7.0f (%5.0f..%5.0f)\n",
                p.name.c_str(), median(mapped), quantile(mapped, 0.25), quantile(mapped, 0.75),
                median(painted), quantile(painted, 0.25), quantile(painted, 0.75), median(peak),
                quantile(peak, 0.25), quantile(peak, 0.75));
}

// The runs whose window showed something else than its finished contents after the map.
void printUnfinished(const Program& p)
{
    std::vector<double> unfinished;
    for (const Sample& sample : p.samples) {
        if (sample.unfinishedMs() > 0)
            unfinished.push_back(sample.unfinishedMs());
    }
    if (unfinished.empty()) {
        std::printf("%-18s mapped with its finished contents in all %zu runs\n", p.name.c_str(),
                    p.samples.size());
        return;
    }
    std::printf("%-18s mapped without its finished contents (black or half drawn) in %zu of %zu "
                "runs, for %.1f ms (quartiles %.1f..%.1f, max %.1f)\n",
                p.name.c_str(), unfinished.size(), p.samples.size(), median(unfinished),
                quantile(unfinished, 0.25), quantile(unfinished, 0.75), quantile(unfinished, 1));
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 20;
    bool verbose = false;
    std::string framesDir;
    std::string photosEnv;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--frames" && i + 1 < argc)
            framesDir = argv[++i];
        else if (arg == "--photos-env" && i + 1 < argc)
            photosEnv = argv[++i];
        else if (arg == "--verbose")
            verbose = true;
        else
            positional.push_back(arg);
    }
    if (positional.size() < 2 || positional.size() > 3 ||
        (!photosEnv.empty() && photosEnv.find('=') == std::string::npos)) {
        std::fprintf(stderr,
                     "usage: %s [--runs N] [--frames DIR] [--verbose] [--photos-env NAME=VALUE] "
                     "BASELINE [BASELINE-ARG] PROGRAM\n",
                     argv[0]);
        return 2;
    }
    Program baseline{positional.front(), "yardstick", {}, {}, {}, {}, {}};
    if (positional.size() == 3)
        baseline.args.push_back(positional[1]);
    Program program{positional.back(), baseName(positional.back()), {}, {}, {}, {}, {}};
    std::vector<Program> cases{program};
    if (!photosEnv.empty()) {
        cases.push_back(program);
        cases.back().name += "+photos";
        cases.back().env.push_back(photosEnv);
    }

    Observer observer(verbose);
    if (!observer.open())
        return 1;
    for (Program& p : cases) {
        if (!observer.recordFinalFrames(p))
            return 1;
    }
    // The yardstick takes the program's size.
    const int width = cases.front().focusedFrame.width;
    const int height = cases.front().focusedFrame.height;
    baseline.args.push_back("--size");
    baseline.args.push_back(std::to_string(width) + "x" + std::to_string(height));
    if (!observer.recordFinalFrames(baseline))
        return 1;
    cases.insert(cases.begin(), baseline);
    for (const Program& p : cases) {
        // The frame assumes a 24-bit visual (Xvfb's usual 0xRRGGBB pixels).
        if (!framesDir.empty() &&
            (!savePpm(p.focusedFrame, framesDir + "/" + p.name + ".ppm") ||
             !savePpm(p.unfocusedFrame, framesDir + "/" + p.name + "-unfocused.ppm")))
            std::fprintf(stderr, "cannot write %s/%s.ppm\n", framesDir.c_str(), p.name.c_str());
    }

    for (int round = 0; round < runs; ++round) {
        for (std::size_t k = 0; k < cases.size(); ++k) {
            Program& p = cases[(std::size_t(round) + k) % cases.size()];
            p.samples.push_back(observer.measure(p));
            if (p.samples.back().paintedMs < 0) {
                std::fprintf(stderr, "%s: no complete frame within %.0f ms\n", p.name.c_str(),
                             kTimeoutMs);
                return 1;
            }
        }
    }

    std::printf("%d runs each, alternating; windows %dx%d; frames read %s; times from exec; "
                "medians (quartiles)\n",
                runs, width, height,
                observer.sharedMemory() ? "through MIT-SHM" : "with XGetImage");
    std::printf("%-18s %23s %23s %21s\n", "case", "mapped ms", "finished frame ms", "peak RSS KiB");
    for (const Program& p : cases)
        printRow(p);
    for (const Program& p : cases)
        printUnfinished(p);
    const Program& base = cases[0];
    const Program& real = cases[1];
    const double memoryRatio =
        median(column(real, &Sample::peakKiB)) / median(column(base, &Sample::peakKiB));
    std::printf("program / yardstick: peak memory %.2f x (target <= 1.1) %s\n", memoryRatio,
                memoryRatio <= 1.1 ? "met" : "MISSED");
    if (cases.size() == 3) {
        const Program& photos = cases[2];
        compare("photos / program:   ", photos, real, 1.5);
        const double extraMiB =
            (median(column(photos, &Sample::peakKiB)) - median(column(real, &Sample::peakKiB))) /
            1024.0;
        std::printf("photos / program:    peak memory %+.1f MiB (target <= +10) %s\n", extraMiB,
                    extraMiB <= 10 ? "met" : "MISSED");
    }
    // Last, as the verdict: the first finished frame beside the yardstick's.
    compare("program / yardstick:", real, base, 1.0);
    return 0;
}
