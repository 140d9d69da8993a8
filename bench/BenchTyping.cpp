// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Typing latency beside `xdotool type` (with its default 12 ms between keys), side by side in
// one run, for a 20-character ASCII text and one with 5 characters the US keymap lacks.
// Glyphlock's time runs from the release of the pick over a line edit of another program to
// the moment that line edit holds the whole text; xdotool's from its start to the same moment.
// The rounds alternate, so that drift on a busy machine hits both alike.
// Usage: bench_typing [--rounds N] DIALOG TARGET   (DISPLAY set; bench/typing runs it)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

const char* const kTexts[] = {"pEziMavh5Q1p8W,eEnBP",
                              "pEzi\u00e9\u20acvh5\u20ac1p8\u00fc,eEnB\u00df"};
const char* const kNames[] = {"20 ASCII characters", "20 characters, 5 not on the keymap"};

long long nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void pause(int ms)
{
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

struct Child
{
    pid_t pid = -1;
    int out = -1;
    std::string pending;
};

Child spawn(const std::vector<std::string>& args)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(2);
    Child child;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    child.out = fds[0];
    return child;
}

// The next line of the child's output that starts with `prefix`, within the time.
std::optional<std::string> readLine(Child& child, const std::string& prefix, int timeoutMs)
{
    const long long deadline = nowNs() + timeoutMs * 1000000LL;
    for (;;) {
        const std::size_t end = child.pending.find('\n');
        if (end != std::string::npos) {
            std::string line = child.pending.substr(0, end);
            child.pending.erase(0, end + 1);
            if (line.rfind(prefix, 0) == 0)
                return line;
            continue;
        }
        const long long left = (deadline - nowNs()) / 1000000LL;
        if (left <= 0)
            return std::nullopt;
        pollfd pfd{child.out, POLLIN, 0};
        if (poll(&pfd, 1, int(left)) <= 0)
            return std::nullopt;
        char buffer[512];
        const ssize_t n = read(child.out, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        child.pending.append(buffer, std::size_t(n));
    }
}

void spawnAndWait(const std::vector<std::string>& args)
{
    Child child = spawn(args);
    waitpid(child.pid, nullptr, 0);
    close(child.out);
}

void stop(Child& child)
{
    if (child.pid > 0) {
        kill(child.pid, SIGTERM);
        waitpid(child.pid, nullptr, 0);
    }
    if (child.out >= 0)
        close(child.out);
}

struct Rect
{
    int x = 0, y = 0, w = 0, h = 0;
    int cx() const { return x + w / 2; }
    int cy() const { return y + h / 2; }
};

Rect parseRect(const std::string& line)
{
    std::istringstream in(line);
    std::string name;
    Rect r;
    in >> name >> r.x >> r.y >> r.w >> r.h;
    return r;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds until the target reports text `which`, from `start`; negative on a timeout.
double arrival(Child& target, int which, long long start)
{
    for (;;) {
        const auto line = readLine(target, "arrived ", 5000);
        if (!line)
            return -1;
        int number = 0;
        long long at = 0;
        std::sscanf(line->c_str(), "arrived %d %lld", &number, &at);
        if (number == which)
            return double(at - start) / 1e6;
    }
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 10;
    int arg = 1;
    if (argc > 2 && std::strcmp(argv[1], "--rounds") == 0) {
        rounds = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (argc - arg < 2) {
        std::fprintf(stderr, "usage: bench_typing [--rounds N] DIALOG TARGET\n");
        return 2;
    }
    const std::string dialogProgram = argv[arg];
    const std::string targetProgram = argv[arg + 1];
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;

    Child target = spawn({targetProgram, kTexts[0], kTexts[1]});
    const auto editLine = readLine(target, "edit ", 10000);
    if (!editLine) {
        std::fprintf(stderr, "the target did not start\n");
        return 1;
    }
    const Rect edit = parseRect(*editLine);

    const std::string heading = "median of " + std::to_string(rounds) + " rounds, ms";
    std::printf("%-36s %12s %12s %8s\n", heading.c_str(), "Glyphlock", "xdotool", "ratio");
    int status = 0;
    for (int which = 1; which <= 2; ++which) {
        const char* text = kTexts[which - 1];
        Child dialog = spawn({dialogProgram, text});
        const auto areaLine = readLine(dialog, "dragArea ", 10000);
        if (!areaLine) {
            std::fprintf(stderr, "the dialog did not start\n");
            return 1;
        }
        const Rect area = parseRect(*areaLine);
        std::vector<double> ours, theirs;
        int theirMisses = 0;
        for (int round = 0; round < rounds; ++round) {
            XTestFakeMotionEvent(display, -1, area.cx(), area.cy(), CurrentTime);
            XSync(display, False);
            pause(100);
            XTestFakeButtonEvent(display, Button1, True, CurrentTime);
            XSync(display, False);
            pause(100);
            XTestFakeMotionEvent(display, -1, (area.cx() + edit.cx()) / 2,
                                 (area.cy() + edit.cy()) / 2, CurrentTime);
            XSync(display, False);
            pause(30);
            XTestFakeMotionEvent(display, -1, edit.cx(), edit.cy(), CurrentTime);
            XSync(display, False);
            pause(300);
            const long long released = nowNs();
            XTestFakeButtonEvent(display, Button1, False, CurrentTime);
            XFlush(display);
            const double ms = arrival(target, which, released);
            if (ms < 0) {
                std::fprintf(stderr, "Glyphlock's text did not arrive\n");
                status = 1;
                break;
            }
            ours.push_back(ms);
            readLine(dialog, "typed ", 5000);
            // The spare keys go back a moment after the keys went out.
            pause(700);

            // The line edit has the focus now; xdotool types into it.
            const long long started = nowNs();
            Child xdotool = spawn({"xdotool", "type", text});
            const double theirMs = arrival(target, which, started);
            waitpid(xdotool.pid, nullptr, 0);
            close(xdotool.out);
            if (theirMs < 0) {
                // xdotool remaps one key per character and loses some on the way: counted,
                // and the line edit emptied for the next round.
                ++theirMisses;
                spawnAndWait({"xdotool", "key", "--clearmodifiers", "ctrl+a", "BackSpace"});
            } else {
                theirs.push_back(theirMs);
            }
            pause(300);
        }
        stop(dialog);
        const double a = median(ours), b = median(theirs);
        std::printf("%-36s %12.1f %12.1f %8.2f\n", kNames[which - 1], a, b, b > 0 ? a / b : 0.0);
        if (theirMisses > 0)
            std::printf("  (xdotool's text arrived wrong in %d of %d rounds)\n", theirMisses,
                        rounds);
        std::fflush(stdout);
    }
    stop(target);
    XCloseDisplay(display);
    return status;
}
