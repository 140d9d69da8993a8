// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/IconMatrix.h"
#include "matrix/IconPicture.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The ordered pictures a cell steps through. A picture's position names it ('a' + index) in
// the password; where the picture came from plays no part.
class IconSet
{
public:
    static constexpr int kBaseCount = 6;
    // 'a' to '{': the next code, '|', separates rows in the hashed text.
    static constexpr int kMaxCount = IconMatrix::kMaxIconCount;

    // builtInPrefix is where the six own pictures live ("a.jpg" .. "f.jpg" below it).
    explicit IconSet(const QString& builtInPrefix = QStringLiteral(":/icons/"));
    // Starts reading at once, in the background (see beginLoadInBackground), pictures decoded
    // to at most decodeBound pixels a side.
    IconSet(const QString& builtInPrefix, const QStringList& folders,
            std::function<void()> whenReady, int decodeBound = IconPicture::kDefaultDecodeBound);
    // Waits for a background reader to stop.
    ~IconSet();
    IconSet(const IconSet&) = delete;
    IconSet& operator=(const IconSet&) = delete;

    // Builds the set, replacing what was loaded before. Each folder (empty = the current
    // directory, else ending with a separator) is searched in order for "<letter>.gif", then
    // "<letter>.jpg". False when one of the own pictures was needed and failed to load.
    bool Load(const QStringList& folders);

    // The same in steps, so that a window can show itself before every picture is read:
    // beginLoad empties the set, each loadNext adds the next icon and tells whether more may
    // follow. The set is final once it says no.
    void beginLoad(const QStringList& folders);
    bool loadNext();
    bool isComplete() const { return complete; }

    // The same again, with the pictures decoded on a thread of their own while the caller
    // goes on: the first at once, the others once releaseRest() is called (or loadNext asks
    // for one of them). loadNext takes them in order, waiting for one not yet decoded.
    // whenReady is called on the reading thread each time a picture is ready.
    void beginLoadInBackground(const QStringList& folders, std::function<void()> whenReady);
    void releaseRest();
    // Stops the reading thread; the set is left as far as it was taken.
    void stopReading();
    // Whether loadNext would return without waiting.
    bool nextIsReady() const;
    // Where the pictures are being read from.
    const QStringList& folders() const { return searched; }
    // Whether a folder holds a file for the picture at index (decodable or not).
    static bool fileInFolders(const QStringList& folders, int index);
    // Whether one of the own pictures was needed and failed, so far.
    bool builtInsFailed() const { return builtInFailed; }

    // Reads the first picture, the one every cell shows at first, on a thread of its own, so
    // that decoding a large picture can overlap the making of the application object: called
    // on the main thread, before that exists if it is to overlap. The next set reading in the
    // background from the same folders and own pictures takes it instead of reading it again,
    // unless it was read for a higher bound, or for a lower one that kept less than the set's
    // bound allows. Replaces a picture read ahead before and not taken.
    static void readFirstAhead(const QStringList& folders,
                               int decodeBound = IconPicture::kDefaultDecodeBound,
                               const QString& builtInPrefix = QStringLiteral(":/icons/"));
    // Whether the first picture was taken from readFirstAhead.
    bool firstWasReadAhead() const { return firstReadAhead; }

    // How many pixels a side pictures are decoded to at most (IconPicture::decodeBoundFor).
    int decodeBound() const { return bound; }
    // Raises the bound, for a denser screen: pictures read so far that kept less than the new
    // bound allows are read again, the ones still to come are read for it. True when a picture
    // changed.
    bool raiseDecodeBound(int newBound);

    int Count() const { return static_cast<int>(pictures.size()); }
    // An empty picture for an index outside the set.
    const IconPicture& Picture(int index) const;
    static char Letter(int index) { return static_cast<char>('a' + index); }
    // What the picture shows, for people who cannot see it: the own pictures by their
    // subject, pictures from files as "picture" and their letter. Empty outside the set.
    QString name(int index) const;

    // The folder of a path, separator kept; empty for a bare name. The main window passes
    // the executable's own path: argv[0] without a folder means "found on PATH", and the
    // current folder must not supply pictures then.
    static QString programFolder(const QString& startPath);
    // The user's own picture folder (the application-data folder for the organisation and
    // application name), separator kept; empty when the platform names none.
    static QString userFolder();
    // The same while the application object is being made, when it cannot be asked for its
    // names yet: the folder it will have where application data lives in the generic data
    // folder (the Unix desktops).
    static QString userFolderFor(const QString& organisation, const QString& application);
    // Where the pictures are looked for, in order: the program folder, then the user folder.
    // An installed program's folder is not writable by its users; the user folder is.
    static QStringList searchFolders(const QString& startPath, const QString& user = userFolder());

private:
    // One place of the set as read from the folders: a picture, or the end of the set.
    struct Slot
    {
        IconPicture::Decoded decoded;
        // Where it was read from, to read it again at a higher bound.
        QString file;
        bool fromFile = false;
        bool end = false;
        // Whether an own picture failed here or before.
        bool builtInFailed = false;
        bool readAhead = false;
    };
    class Reader;
    struct ReadAhead;

    // The first picture from readFirstAhead, when it was read for these folders, own pictures
    // and bound; waits for it to be read. Taken once.
    static bool takeReadAhead(const QStringList& folders, const QString& builtInPrefix, int bound,
                              Slot& slot);

    static Slot readSlot(int index, const QStringList& folders, const QString& builtInPrefix,
                         bool builtInFailedBefore, int bound);
    // Where the picture for letter may be, in the order it is looked for.
    static QStringList candidateFiles(const QStringList& folders, char letter);
    static bool readFromFolders(Slot& slot, const QStringList& folders, char letter, int bound);
    // Reads a picture again when it kept less than the bound allows; true when it did.
    bool sharpen(std::size_t index);

    QString builtInPrefix;
    std::vector<IconPicture> pictures;
    std::vector<bool> fromFile;
    std::vector<QString> files;
    QStringList searched;
    bool builtInFailed = false;
    bool firstReadAhead = false;
    bool complete = true;
    int bound = IconPicture::kDefaultDecodeBound;
    std::unique_ptr<Reader> reader;
};
