// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/ClipboardHelper.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The helper reports within this time that it owns the clipboard.
constexpr int kReadyTimeoutMs = 3000;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

bool ClipboardHelper::start(const QByteArray& path, const QByteArray& text)
{
    int input[2];
    int ready[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return false;
    if (pipe2(ready, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        if (fork() != 0)
            _exit(0);
        setsid();
        if (dup2(input[0], STDIN_FILENO) < 0 || dup2(ready[1], STDOUT_FILENO) < 0)
            _exit(127);
        close_range(3, ~0U, 0);
        if (chdir("/") != 0)
            _exit(127);
        char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
        execv(path.constData(), argv);
        _exit(127);
    }
    close(input[0]);
    close(ready[1]);
    bool started = false;
    if (child > 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        // A helper that failed to start must not take us down with SIGPIPE.
        struct sigaction ignore
        {
        };
        struct sigaction previous
        {
        };
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &ignore, &previous);
        started = writeAll(input[1], text.constData(), size_t(text.size()));
        sigaction(SIGPIPE, &previous, nullptr);
    }
    close(input[1]);
    if (started) {
        pollfd fd{ready[0], POLLIN, 0};
        char answer = 0;
        started =
            poll(&fd, 1, kReadyTimeoutMs) == 1 && read(ready[0], &answer, 1) == 1 && answer == '1';
    }
    close(ready[0]);
    return started;
}
