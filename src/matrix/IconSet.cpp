// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/IconSet.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

// The first picture, read before the set that shows it exists (readFirstAhead).
struct IconSet::ReadAhead
{
    std::mutex mutex;
    std::condition_variable changed;
    // Whether a read waits to be taken, and whether it is done. A new read starts a new
    // generation.
    bool pending = false;
    bool done = false;
    int generation = 0;
    QStringList folders;
    QString builtInPrefix;
    int bound = 0;
    Slot slot;
    std::thread thread;

    static ReadAhead& instance()
    {
        static ReadAhead ahead;
        return ahead;
    }

    ~ReadAhead() { join(); }

    void join()
    {
        if (thread.joinable())
            thread.join();
    }

    void run(const QStringList& from, const QString& prefix, int readBound)
    {
        Slot read = readSlot(0, from, prefix, false, readBound);
        read.readAhead = true;
        {
            const std::lock_guard lock(mutex);
            slot = std::move(read);
            done = true;
        }
        changed.notify_all();
    }
};

// Decodes the set's pictures in order on a thread of its own and hands them over one by one.
class IconSet::Reader
{
public:
    Reader(const QStringList& folders, const QString& builtInPrefix, int bound,
           std::function<void()> whenReady)
        : bound(bound), whenReady(std::move(whenReady)),
          thread([this, folders, builtInPrefix] { run(folders, builtInPrefix); })
    {
    }

    ~Reader()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
            held = false;
        }
        changed.notify_all();
        thread.join();
    }

    Slot take()
    {
        std::unique_lock lock(mutex);
        // Whoever asks for more than the first picture needs it now.
        if (taken++ > 0) {
            held = false;
            changed.notify_all();
        }
        changed.wait(lock, [this] { return !waiting.empty(); });
        Slot slot = std::move(waiting.front());
        waiting.pop_front();
        return slot;
    }

    void release()
    {
        {
            const std::lock_guard lock(mutex);
            held = false;
        }
        changed.notify_all();
    }

    bool ready() const
    {
        const std::lock_guard lock(mutex);
        return !waiting.empty();
    }

    // For the pictures not started yet.
    void setBound(int newBound) { bound = newBound; }

private:
    void run(const QStringList& folders, const QString& builtInPrefix)
    {
        bool builtInFailed = false;
        for (int index = 0; index < kMaxCount; ++index) {
            {
                std::unique_lock lock(mutex);
                // The first picture is what the first frame needs; the rest wait for it.
                changed.wait(lock, [this, index] { return stopping || index == 0 || !held; });
                if (stopping)
                    return;
            }
            Slot slot;
            if (index != 0 || !takeReadAhead(folders, builtInPrefix, bound, slot))
                slot = readSlot(index, folders, builtInPrefix, builtInFailed, bound);
            builtInFailed = slot.builtInFailed;
            const bool last = slot.end || index + 1 == kMaxCount;
            {
                const std::lock_guard lock(mutex);
                waiting.push_back(std::move(slot));
            }
            changed.notify_all();
            if (whenReady)
                whenReady();
            if (last)
                return;
        }
    }

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<Slot> waiting;
    bool held = true;
    bool stopping = false;
    int taken = 0;
    std::atomic<int> bound;
    std::function<void()> whenReady;
    // Last: it starts once everything above exists.
    std::thread thread;
};

IconSet::IconSet(const QString& builtInPrefix) : builtInPrefix(builtInPrefix) {}

IconSet::IconSet(const QString& builtInPrefix, const QStringList& folders,
                 std::function<void()> whenReady, int decodeBound)
    : builtInPrefix(builtInPrefix), bound(decodeBound)
{
    beginLoadInBackground(folders, std::move(whenReady));
}

IconSet::~IconSet() = default;

void IconSet::stopReading()
{
    reader.reset();
}

bool IconSet::Load(const QStringList& folders)
{
    beginLoad(folders);
    while (loadNext()) {
    }
    return !builtInFailed;
}

void IconSet::beginLoad(const QStringList& folders)
{
    stopReading();
    pictures.clear();
    fromFile.clear();
    files.clear();
    searched = folders;
    builtInFailed = false;
    firstReadAhead = false;
    complete = false;
}

void IconSet::beginLoadInBackground(const QStringList& folders, std::function<void()> whenReady)
{
    beginLoad(folders);
    try {
        reader = std::make_unique<Reader>(folders, builtInPrefix, bound, std::move(whenReady));
    } catch (const std::system_error&) {
        // No thread to be had: loadNext reads each picture when it is asked for.
    }
}

void IconSet::releaseRest()
{
    if (reader)
        reader->release();
}

bool IconSet::nextIsReady() const
{
    return complete || !reader || reader->ready();
}

bool IconSet::loadNext()
{
    if (complete)
        return false;
    const int index = Count();
    Slot slot =
        reader ? reader->take() : readSlot(index, searched, builtInPrefix, builtInFailed, bound);
    builtInFailed = slot.builtInFailed;
    if (slot.end) {
        complete = true;
    } else {
        // A base icon stays in the set even when empty: the letters must not shift.
        if (index == 0)
            firstReadAhead = slot.readAhead;
        pictures.emplace_back(std::move(slot.decoded));
        fromFile.push_back(slot.fromFile);
        files.push_back(slot.file);
        // Read before the bound was raised.
        sharpen(pictures.size() - 1);
    }
    if (Count() == kMaxCount)
        complete = true;
    if (complete)
        stopReading();
    return !complete;
}

bool IconSet::raiseDecodeBound(int newBound)
{
    if (newBound <= bound)
        return false;
    bound = newBound;
    if (reader)
        reader->setBound(newBound);
    bool changed = false;
    for (std::size_t index = 0; index < pictures.size(); ++index)
        changed = sharpen(index) || changed;
    return changed;
}

bool IconSet::sharpen(std::size_t index)
{
    if (files[index].isEmpty() || !pictures[index].keptBelow(bound))
        return false;
    IconPicture::Decoded again = IconPicture::decodeFile(files[index], bound);
    // A file changed or gone since keeps the picture it gave.
    if (again.image.isNull() || again.naturalSize != pictures[index].GetPixelSize())
        return false;
    pictures[index] = IconPicture(std::move(again));
    return true;
}

IconSet::Slot IconSet::readSlot(int index, const QStringList& folders, const QString& builtInPrefix,
                                bool builtInFailedBefore, int bound)
{
    Slot slot;
    slot.builtInFailed = builtInFailedBefore;
    const char letter = Letter(index);
    slot.fromFile = readFromFolders(slot, folders, letter, bound);
    if (index < kBaseCount) {
        // Once one own picture is broken the rest are not trusted either.
        if (!slot.fromFile && !builtInFailedBefore) {
            slot.file = builtInPrefix + QLatin1Char(letter) + QLatin1String(".jpg");
            slot.decoded = IconPicture::decodeFile(slot.file, bound);
            slot.builtInFailed = slot.decoded.image.isNull();
        }
    } else {
        slot.end = !slot.fromFile;
    }
    return slot;
}

void IconSet::readFirstAhead(const QStringList& folders, int decodeBound,
                             const QString& builtInPrefix)
{
    // Until the application object exists, the first thread to use Qt objects is taken for
    // the main one; and the application object, as it starts, resets the library paths the
    // image plugins are found through, without a lock. So both happen here first.
    QThread::currentThread();
    IconPicture::findPlugins();

    ReadAhead& ahead = ReadAhead::instance();
    ahead.join();
    {
        const std::lock_guard lock(ahead.mutex);
        ahead.pending = true;
        ahead.done = false;
        ++ahead.generation;
        ahead.folders = folders;
        ahead.builtInPrefix = builtInPrefix;
        ahead.bound = decodeBound;
        ahead.slot = Slot();
    }
    ahead.changed.notify_all();
    try {
        ahead.thread = std::thread([&ahead, folders, builtInPrefix, decodeBound] {
            ahead.run(folders, builtInPrefix, decodeBound);
        });
    } catch (const std::system_error&) {
        // Then the set reads it.
        const std::lock_guard lock(ahead.mutex);
        ahead.pending = false;
    }
}

bool IconSet::takeReadAhead(const QStringList& folders, const QString& builtInPrefix, int bound,
                            Slot& slot)
{
    ReadAhead& ahead = ReadAhead::instance();
    std::unique_lock lock(ahead.mutex);
    // Not what this set would read, nor more detail than it keeps.
    if (!ahead.pending || ahead.folders != folders || ahead.builtInPrefix != builtInPrefix ||
        ahead.bound > bound)
        return false;
    ahead.pending = false;
    const int generation = ahead.generation;
    ahead.changed.wait(
        lock, [&ahead, generation] { return ahead.done || ahead.generation != generation; });
    if (ahead.generation != generation)
        return false;
    slot = std::move(ahead.slot);
    // Read for a less dense screen than there is: read again.
    return !slot.decoded.keptBelow(bound);
}

const IconPicture& IconSet::Picture(int index) const
{
    static const IconPicture none;
    if (index < 0 || index >= Count())
        return none;
    return pictures[static_cast<std::size_t>(index)];
}

QString IconSet::name(int index) const
{
    // In the order the own pictures are drawn in (a.jpg to f.jpg).
    static const char* const kOwnSubjects[kBaseCount] = {"sun",  "moon",  "key",
                                                         "tree", "heart", "fish"};
    if (index < 0 || index >= Count())
        return QString();
    if (index < kBaseCount && !fromFile[static_cast<std::size_t>(index)])
        return QLatin1String(kOwnSubjects[index]);
    return QStringLiteral("picture ") + QLatin1Char(Letter(index));
}

QString IconSet::programFolder(const QString& startPath)
{
    qsizetype cut = startPath.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, startPath.lastIndexOf(QLatin1Char('\\')));
#endif
    return cut < 0 ? QString() : startPath.left(cut + 1);
}

QString IconSet::userFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // An empty entry would mean the current directory: leave the folder out instead.
    if (folder.isEmpty())
        return QString();
    return QDir::fromNativeSeparators(folder) + QLatin1Char('/');
}

QString IconSet::userFolderFor(const QString& organisation, const QString& application)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return QString();
    return QDir::fromNativeSeparators(data) + QLatin1Char('/') + organisation + QLatin1Char('/') +
           application + QLatin1Char('/');
}

QStringList IconSet::searchFolders(const QString& startPath, const QString& user)
{
    QStringList folders{programFolder(startPath)};
    if (!user.isEmpty() && !folders.contains(user))
        folders << user;
    return folders;
}

QStringList IconSet::candidateFiles(const QStringList& folders, char letter)
{
    QStringList files;
    for (const QString& folder : folders) {
        const QString stem = folder + QLatin1Char(letter);
        files << stem + QLatin1String(".gif") << stem + QLatin1String(".jpg");
    }
    return files;
}

bool IconSet::fileInFolders(const QStringList& folders, int index)
{
    const QStringList files = candidateFiles(folders, Letter(index));
    return std::any_of(files.begin(), files.end(),
                       [](const QString& file) { return QFileInfo(file).isFile(); });
}

bool IconSet::readFromFolders(Slot& slot, const QStringList& folders, char letter, int bound)
{
    for (const QString& file : candidateFiles(folders, letter)) {
        slot.decoded = IconPicture::decodeFile(file, bound);
        if (!slot.decoded.image.isNull()) {
            slot.file = file;
            return true;
        }
    }
    slot.decoded = IconPicture::Decoded();
    return false;
}
