// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Picture loading on arbitrary bytes placed as a.gif, a.jpg, g.gif and g.jpg in a picture
// folder: nothing crashes, the base icons are always there (the own picture where a file
// fails), the set has 6 or 7 icons, and no single allocation grows past fuzz/run's limit.
#include "matrix/IconSet.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;
const char* const kNames[] = {"a.gif", "a.jpg", "g.gif", "g.jpg"};

void expect(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "icon set check failed: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    (void)argc;
    new QGuiApplication(qtArgc, qtArgv); // lives as long as the process
    // Every broken input makes the decoders complain; the output only slows the run down.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Which names get a file; the last of them takes all remaining bytes.
    const unsigned mask = input.ConsumeIntegralInRange(1u, 15u);
    int last = 3;
    while (!(mask & (1u << last)))
        --last;
    for (int i = 0; i < 4; ++i) {
        const QString path = folder->filePath(QLatin1String(kNames[i]));
        QFile::remove(path);
        if (!(mask & (1u << i)))
            continue;
        const std::string bytes = i == last ? input.ConsumeRemainingBytesAsString()
                                            : input.ConsumeRandomLengthString(1 << 16);
        QFile file(path);
        expect(file.open(QIODevice::WriteOnly), "cannot write the picture file");
        file.write(bytes.data(), qint64(bytes.size()));
    }

    IconSet set;
    expect(set.Load({folder->path() + QLatin1Char('/')}), "own pictures failed");
    expect(set.Count() == IconSet::kBaseCount || set.Count() == IconSet::kBaseCount + 1,
           "count outside 6 and 7");
    expect(set.Count() == IconSet::kBaseCount || (mask & 0xc), "g without a g file");
    for (int index = 0; index < set.Count(); ++index)
        expect(!set.Picture(index).isEmpty(), "empty icon");
    return 0;
}
