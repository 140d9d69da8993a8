#include "matrix/IconSet.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

IconSet::IconSet(const QString& builtInPrefix) : builtInPrefix(builtInPrefix) {}

bool IconSet::Load(const QStringList& folders)
{
    beginLoad(folders);
    while (loadNext()) {
    }
    return !builtInFailed;
}

void IconSet::beginLoad(const QStringList& folders)
{
    pictures.clear();
    fromFile.clear();
    searched = folders;
    builtInFailed = false;
    complete = false;
}

bool IconSet::loadNext()
{
    if (complete)
        return false;
    const int index = Count();
    const char letter = Letter(index);
    IconPicture picture;
    const bool found = loadFromFolders(picture, searched, letter);
    if (index < kBaseCount) {
        if (!found && !builtInFailed) {
            // Once one own picture is broken the rest are not trusted either.
            if (!picture.LoadFromFile(builtInPrefix + QLatin1Char(letter) + QLatin1String(".jpg")))
                builtInFailed = true;
        }
        // A base icon stays in the set even when empty: the letters must not shift.
        pictures.push_back(std::move(picture));
        fromFile.push_back(found);
    } else if (found) {
        pictures.push_back(std::move(picture));
        fromFile.push_back(true);
    } else {
        complete = true;
    }
    if (Count() == kMaxCount)
        complete = true;
    return !complete;
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

QStringList IconSet::searchFolders(const QString& startPath)
{
    QStringList folders{programFolder(startPath)};
    const QString user = userFolder();
    if (!user.isEmpty() && !folders.contains(user))
        folders << user;
    return folders;
}

bool IconSet::loadFromFolders(IconPicture& picture, const QStringList& folders, char letter)
{
    for (const QString& folder : folders) {
        const QString stem = folder + QLatin1Char(letter);
        if (picture.LoadFromFile(stem + QLatin1String(".gif")) ||
            picture.LoadFromFile(stem + QLatin1String(".jpg")))
            return true;
    }
    return false;
}
