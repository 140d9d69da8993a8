#pragma once

#include "core/IconMatrix.h"
#include "matrix/IconPicture.h"

#include <QString>
#include <QStringList>

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

    // Builds the set, replacing what was loaded before. Each folder (empty = the current
    // directory, else ending with a separator) is searched in order for "<letter>.gif", then
    // "<letter>.jpg". False when one of the own pictures was needed and failed to load.
    bool Load(const QStringList& folders);

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
    // Where the pictures are looked for, in order: the program folder, then the user folder.
    // An installed program's folder is not writable by its users; the user folder is.
    static QStringList searchFolders(const QString& startPath);

private:
    static bool loadFromFolders(IconPicture& picture, const QStringList& folders, char letter);

    QString builtInPrefix;
    std::vector<IconPicture> pictures;
    std::vector<bool> fromFile;
};
