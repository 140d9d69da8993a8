// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardServer.h"

#include <cerrno>
#include <string>
#include <unistd.h>

#ifdef __linux__
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace {

// Like the program itself: no core file, and no other process of the user may read our
// memory (ptrace, /proc/<pid>/mem). Done before the text arrives.
void makeProcessPrivate()
{
#ifdef __linux__
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
#endif
}

} // namespace

// Reads the text from standard input (never from arguments or the environment), takes the
// clipboard, answers "1" on standard output once it owns it, and serves it until another
// program takes the clipboard.
int main()
{
    makeProcessPrivate();
    constexpr size_t kMaxText = 64 * 1024;
    // Read straight into the one buffer that keeps the text: no staging copies, no growth
    // that would leave old copies behind in freed memory.
    std::string text(kMaxText + 1, '\0');
    size_t size = 0;
    ssize_t got = 0;
    while (size < text.size() &&
           ((got = read(STDIN_FILENO, text.data() + size, text.size() - size)) > 0 ||
            (got < 0 && errno == EINTR)))
        size += size_t(got > 0 ? got : 0);
    close(STDIN_FILENO);
    if (got < 0 || size == 0 || size > kMaxText)
        return 1;
    text.resize(size);

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int status = 1;
    {
        ClipboardServer server(display, std::move(text));
        if (server.acquire()) {
            if (write(STDOUT_FILENO, "1", 1) == 1) {
                close(STDOUT_FILENO); // the starter waits for its end of the pipe only
                status = 0;
                server.serve();
            }
        }
    }
    XCloseDisplay(display);
    return status;
}
