#include "ClipboardServer.h"

#include <cstdio>
#include <string>
#include <unistd.h>

// Reads the text from standard input (never from arguments or the environment), takes the
// clipboard, answers "1" on standard output once it owns it, and serves it until another
// program takes the clipboard.
int main()
{
    constexpr size_t kMaxText = 64 * 1024;
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(STDIN_FILENO, buffer, sizeof buffer)) > 0 && text.size() < kMaxText)
        text.append(buffer, size_t(got));
    close(STDIN_FILENO);
    if (got < 0 || text.empty() || text.size() > kMaxText)
        return 1;

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
