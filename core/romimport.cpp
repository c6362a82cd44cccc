#include "core/romimport.h"

#include "core/cartridge.h"
#include "core/catalogue.h"
#include "core/folderscan.h"
#include "core/listfile.h"
#include "core/nativepath.h"
#include "core/profile.h"
#include "core/recordlookup.h"
#include "core/textcodec.h"
#include "core/textfile.h"

#include <QDir>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>

namespace vx::romimport
{

namespace
{

Notice notice(const QString& upper, const char* lower)
{
    return {upper, QString::fromLatin1(lower)};
}

// A write that did not happen: another copy had (or took) the catalogue, or bin cannot be written.
Notice notWritten(const QString& upper, bool busy)
{
    return notice(upper, busy ? "Another copy of the program is busy with the catalogue; try again."
                              : "Check that the bin folder can be written.");
}

bool heldElsewhere(const catalogue::WriteLock& lock)
{
    return lock.state() == catalogue::WriteLock::State::Busy;
}

Notice unreadableIndex()
{
    return notice(QStringLiteral("Your ROM archives main index file could not be read."),
                  "Check that the bin folder can be read.");
}

QString count(int n)
{
    return QLocale().toString(n);
}

// The last component of a path, and that without its last extension.
QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString withoutExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

bool inNameOrder(const QString& a, const QString& b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

// Pictures by folded base name, for every folder looked in once.
class PictureFinder
{
public:
    explicit PictureFinder(const QStringList& suffixes) : m_suffixes(suffixes) {}

    QString pictureFor(const QString& romPath)
    {
        const qsizetype slash = romPath.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return {};
        const QString folder = romPath.left(slash);
        const QString base = withoutExtension(romPath.mid(slash + 1)).toCaseFolded();
        QStringList places{folder};
        places += pictureFolders(folder);
        const qsizetype up = folder.lastIndexOf(QLatin1Char('/'));
        if (up > 0)
            places += pictureFolders(folder.left(up));
        for (const QString& place : places) {
            QString found = picturesIn(place).value(base);
            if (!found.isEmpty())
                return found;
        }
        return {};
    }

private:
    // The folders inside `folder` that collections keep pictures in.
    QStringList pictureFolders(const QString& folder)
    {
        const auto cached = m_pictureFolders.constFind(folder);
        if (cached != m_pictureFolders.cend())
            return *cached;
        static const QStringList kNames{QStringLiteral("pictures"), QStringLiteral("images"),
                                        QStringLiteral("boxart")};
        QStringList found;
        for (const QString& name : namesInFolder(folder, [](const char*entry, std::size_t length) {
                 return length >= 6 && length <= 8 && entry[0] != '.';
             })) {
            const QString path = folder + QLatin1Char('/') + name;
            if (kNames.contains(name, Qt::CaseInsensitive) && pathKind(path) == PathKind::Folder)
                found << path;
        }
        std::sort(found.begin(), found.end(), inNameOrder);
        m_pictureFolders.insert(folder, found);
        return found;
    }

    const QHash<QString, QString>& picturesIn(const QString& folder)
    {
        auto cached = m_pictures.find(folder);
        if (cached != m_pictures.end())
            return *cached;
        QStringList names = namesInFolder(folder, [](const char* entry, std::size_t length) {
            return entry[0] != '.' && std::find(entry, entry + length, '.') != entry + length;
        });
        // The first in name order wins among pictures of one base name.
        std::sort(names.begin(), names.end(), inNameOrder);
        QHash<QString, QString> byBase;
        for (const QString& name : names) {
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            if (dot <= 0 || !m_suffixes.contains(name.mid(dot + 1).toLower()))
                continue;
            const QString path = folder + QLatin1Char('/') + name;
            const QString base = name.left(dot).toCaseFolded();
            if (!byBase.contains(base) && pathKind(path) == PathKind::File)
                byBase.insert(base, path);
        }
        return *m_pictures.insert(folder, byBase);
    }

    QStringList m_suffixes;
    QHash<QString, QStringList> m_pictureFolders;
    QHash<QString, QHash<QString, QString>> m_pictures;
};

QList<profile::Entry> recordOf(const Game& game)
{
    return {{QStringLiteral("paths"), QStringLiteral("file"), game.romPath},
            {QStringLiteral("paths"), QStringLiteral("image"), game.imagePath},
            {QStringLiteral("info"), QStringLiteral("gamename"), game.name},
            {QStringLiteral("info"), QStringLiteral("gametype"), game.gameType},
            {QStringLiteral("info"), QStringLiteral("size"), game.size},
            {QStringLiteral("info"), QStringLiteral("desc"), QString()}};
}

// The index's items under the lock, with the empty first line a new index starts with.
std::optional<TextList> readIndex()
{
    const QString indexPath = catalogue::indexPath();
    std::optional<TextList> items = listfile::read(indexPath);
    if (items && !pathTaken(indexPath))
        items->append(QString());
    return items;
}

} // namespace

QString usableName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        if (catalogue::isGameNameCharacter(c))
            name.append(c);
    }
    name = name.trimmed();
    // Too long for a save: cut whole characters off its end.
    while (!name.isEmpty() && !catalogue::isUsableGameName(name)) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
        name = name.trimmed();
    }
    return name;
}

QString nameFromFileName(const QString& path)
{
    // By the name's bytes, as names in bin are read: a name from a Windows archive is Windows-1252.
    const QByteArray raw = nativePath(fileNameOf(path));
    return usableName(withoutExtension(textcodec::decode(raw)));
}

QStringList filesToRead(const QStringList& paths, const std::function<bool()>& stop)
{
    QStringList files;
    for (const QString& given : paths) {
        if (stop())
            break;
        const QString path = QDir::fromNativeSeparators(given);
        const PathKind kind = pathKind(path);
        if (kind == PathKind::File)
            files << path;
        else if (kind == PathKind::Folder)
            files += filesUnder(path, &cartridge::hasRomSuffix, stop);
    }
    return files;
}

Found readFiles(const QStringList& files, const QStringList& pictureSuffixes, Progress& progress,
                const std::function<QString(const QString& path)>& datName)
{
    Found found;
    PictureFinder pictures(pictureSuffixes);
    for (const QString& path : files) {
        if (progress.cancelled)
            break;
        if (const std::optional<cartridge::Details> details = cartridge::readFile(path)) {
            QString name = datName ? usableName(datName(path)) : QString();
            if (name.isEmpty())
                name = nameFromFileName(path);
            if (name.isEmpty())
                name = usableName(details->name);
            if (name.isEmpty())
                ++found.unnamed;
            else
                found.games.append(
                    {name, path, pictures.pictureFor(path), details->gameType, details->size});
        } else {
            ++found.notCartridge;
        }
        ++progress.done;
    }
    return found;
}

Result writeGames(const QList<Game>& games, Progress& progress, const std::function<void()>& step)
{
    Result result;
    const QString failed = QStringLiteral("The games could not be added.");
    const catalogue::WriteLock lock;
    if (!lock.held()) {
        result.outcome = Outcome::Failed;
        result.notices << notWritten(failed, heldElsewhere(lock));
        return result;
    }
    std::optional<TextList> items = readIndex();
    if (!items) {
        // Written back without its names, the index would lose every one of them.
        result.outcome = Outcome::Failed;
        result.notices << unreadableIndex();
        return result;
    }
    QSet<QString> listed;
    items->forEach([&](QStringView item) { listed.insert(item.toString()); });

    QSet<QString> taken; // folded, as record files are found
    QStringList written;
    QStringList newLines;
    for (const Game& game : games) {
        if (progress.cancelled) {
            result.outcome = Outcome::Cancelled;
            break;
        }
        const QString folded = game.name.toCaseFolded();
        if (taken.contains(folded) || !catalogue::findRecord(game.name).isEmpty()) {
            ++result.alreadyThere;
        } else {
            const QString path = catalogue::recordPath(game.name);
            catalogue::BinChange change;
            if (path.isEmpty() || catalogue::lockLost() ||
                !profile::writeAll(path, recordOf(game))) {
                result.outcome = Outcome::Failed;
                result.notices << notWritten(failed, catalogue::lockLost());
                break;
            }
            change.done(path);
            taken.insert(folded);
            written << path;
            if (!listed.contains(game.name))
                newLines << game.name;
        }
        ++progress.done;
        if (step)
            step();
    }
    result.added = int(written.size());
    if (newLines.isEmpty())
        return result;

    for (const QString& line : std::as_const(newLines))
        items->append(line);
    std::optional<TextList> index = listfile::write(catalogue::indexPath(), *items);
    if (!index) {
        // Records the index does not list would be found by nothing; the catalogue goes back to
        // what it was.
        for (const QString& path : std::as_const(written))
            removeFile(path);
        result.added = 0;
        result.outcome = Outcome::Failed;
        result.notices.clear();
        result.notices << notWritten(failed, catalogue::lockLost());
        return result;
    }
    result.index = std::move(*index);
    result.indexWritten = true;
    return result;
}

Notice summary(const Found& found, const Result& result)
{
    QString upper;
    if (result.added == 0)
        upper = QStringLiteral("No game was added.");
    else if (result.added == 1)
        upper = QStringLiteral("1 game added.");
    else
        upper = QStringLiteral("%1 games added.").arg(count(result.added));
    if (result.outcome == Outcome::Cancelled)
        upper.insert(upper.size() - 1, QStringLiteral(" before the import was cancelled"));

    QStringList parts;
    const auto part = [&](int n, const char* one, const char* many) {
        if (n == 1)
            parts << QString::fromLatin1(one);
        else if (n > 1)
            parts << QString::fromLatin1(many).arg(count(n));
    };
    part(result.alreadyThere, "1 was already there", "%1 were already there");
    part(found.notCartridge, "1 was not a cartridge image", "%1 were not cartridge images");
    part(found.unnamed, "1 had no usable name", "%1 had no usable name");
    QString lower = parts.join(QStringLiteral(", "));
    if (lower.isEmpty())
        lower = result.added > 0 ? QStringLiteral("View ROM lists them.")
                                 : QStringLiteral("No cartridge image was found.");
    else
        lower += QLatin1Char('.');
    lower[0] = lower[0].toUpper();
    return {upper, lower};
}

Rebuilt rebuildIndex()
{
    Rebuilt rebuilt;
    const QString failed = QStringLiteral("The index could not be rebuilt.");
    const catalogue::WriteLock lock;
    if (!lock.held()) {
        rebuilt.notices << notWritten(failed, heldElsewhere(lock));
        return rebuilt;
    }
    std::optional<TextList> items = readIndex();
    if (!items) {
        rebuilt.notices << unreadableIndex();
        return rebuilt;
    }
    // A record is listed when a line finds it: its exact name, or another case of it that has no
    // record file of its own.
    QSet<QString> exact;
    QSet<QString> foldedOnly;
    items->forEach([&](QStringView item) {
        const QString line = item.toString();
        exact.insert(line);
        const QString path = catalogue::recordPath(line);
        if (!path.isEmpty() && !isRegularFile(path))
            foldedOnly.insert(line.toCaseFolded());
    });

    const QString bin = catalogue::binPath();
    QStringList missing;
    for (const QString& file : namesInFolder(bin, [](const char*name, std::size_t length) {
             return length > 4 && qstrnicmp(name + length - 4, ".lib", 4) == 0;
         })) {
        const QByteArray raw = nativePath(file);
        const QString name = textcodec::decode(QByteArrayView(raw).chopped(4));
        if (exact.contains(name) || foldedOnly.contains(name.toCaseFolded()) ||
            catalogue::recordPath(name).isEmpty() || !isRegularFile(bin + QDir::separator() + file))
            continue;
        missing << name;
    }
    std::sort(missing.begin(), missing.end(), inNameOrder);
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    if (missing.isEmpty()) {
        rebuilt.written = true;
        rebuilt.notices << Notice{QStringLiteral("Every record is in the index already."),
                                  QStringLiteral("Nothing was changed.")};
        return rebuilt;
    }
    for (const QString& name : std::as_const(missing))
        items->append(name);
    std::optional<TextList> index = listfile::write(catalogue::indexPath(), *items);
    if (!index) {
        rebuilt.notices << notWritten(failed, catalogue::lockLost());
        return rebuilt;
    }
    rebuilt.written = true;
    rebuilt.added = int(missing.size());
    rebuilt.index = std::move(*index);
    rebuilt.notices << Notice{
        rebuilt.added == 1
            ? QStringLiteral("1 game was added to the index.")
            : QStringLiteral("%1 games were added to the index.").arg(count(rebuilt.added)),
        QStringLiteral("Nothing was removed.")};
    return rebuilt;
}

} // namespace vx::romimport
