// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/Privacy.h"

#include <QByteArray>
#include <QString>

#include <type_traits>

#ifdef __linux__
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace {

// Wipes from the start of the allocation: text removed from the front of a string leaves its
// characters before begin(), and text cut from the end leaves them after end().
template <typename Text> void wipe(Text& text)
{
    if (!text.isDetached()) {
        text = Text();
        return;
    }
    auto& d = text.data_ptr();
    const qsizetype total = d.constAllocatedCapacity();
    using Unit = std::remove_pointer_t<decltype(d.data())>;
    volatile Unit* unit = d.data() - d.freeSpaceAtBegin();
    for (qsizetype i = 0; i < total; ++i)
        unit[i] = Unit(0);
    text.truncate(0);
}

} // namespace

void markProcessPrivate()
{
#ifdef __linux__
    // Non-dumpable also makes /proc/self owned by root and refuses ptrace from the same user.
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
#endif
}

bool runOnceOpenToUser(const std::function<void()>& call)
{
#ifdef __linux__
    static bool used = false;
    const bool open = !used;
    used = true;
    // Private again however the call ends. Core dumps stay off meanwhile: the limit set by
    // markProcessPrivate is kept.
    struct Close
    {
        bool open;
        ~Close()
        {
            if (open)
                prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
        }
    } close{open};
    if (open)
        prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    call();
    return open;
#else
    call();
    return false;
#endif
}

void secureClear(QString& text)
{
    wipe(text);
}

void secureClear(QByteArray& bytes)
{
    wipe(bytes);
}
