#include "core/gamesave.h"

#include "core/catalogue.h"
#include "core/filesearch.h"
#include "core/folderscan.h"
#include "core/listfile.h"
#include "core/logging.h"
#include "core/number.h"
#include "core/profile.h"
#include "core/pump.h"
#include "core/recordlookup.h"
#include "core/textfile.h"

#include <algorithm>
#include <iterator>

namespace vx
{

namespace
{

Notice notice(const char* upper, const char* lower)
{
    return {QString::fromLatin1(upper), QString::fromLatin1(lower)};
}

// The first empty field stops the save with its notice. An edit may leave empty what the stored
// record holds empty (an imported game has no description, and no picture when none was found):
// only a field the user empties is refused.
std::optional<Notice> firstEmptyField(const GameEntry& e, const catalogue::Record* stored)
{
    struct Check {
        const QString& text;
        const char* upper;
        const char* lower;
        bool mayStayEmpty;
    };
    const auto emptyThere = [stored](const QString catalogue::Record::*field) {
        return stored && (stored->*field).isEmpty();
    };
    const Check checks[] = {
        {e.name, "You havn't entered in a Game name, please try again.", "No Game Name entered.",
         false},
        {e.romPath, "You havn't entered in a File Path, please try again.", "No File Path entered.",
         emptyThere(&catalogue::Record::file)},
        {e.imagePath, "You havn't entered in a Image Path, please try again.",
         "No Image Path entered.", emptyThere(&catalogue::Record::image)},
        {e.gameType, "You havn't entered in a Game Type, please try again.",
         "No Game Type entered.", emptyThere(&catalogue::Record::gametype)},
        {e.sizeText, "You havn't entered in a Size for the rom, please try again.",
         "No Size entered.", false},
        {e.description, "You havn't entered in a Description for the Rom, please try again.",
         "No ROM Description entered.", emptyThere(&catalogue::Record::desc)},
    };
    const auto* empty = std::find_if(std::begin(checks), std::end(checks), [](const Check& check) {
        return check.text.isEmpty() && !check.mayStayEmpty;
    });
    if (empty == std::end(checks))
        return std::nullopt;
    return notice(empty->upper, empty->lower);
}

Notice cannotWrite()
{
    return notice("The game could not be saved.", "Check that the bin folder can be written.");
}

Notice busy()
{
    return notice("The game could not be saved.",
                  "Another copy of the program is busy with the catalogue; try again.");
}

// An edit of a game whose record went (removed from a list, or by another copy) would bring it
// back.
Notice gone(const QString& name)
{
    return {QStringLiteral("\u201C%1\u201D is no longer in the catalogue.").arg(name),
            QStringLiteral("It was removed while it was being edited; nothing was saved.")};
}

Notice invalidName()
{
    return notice("The Game name cannot be used as a file name.", "Invalid Game Name");
}

// Why the record or the index could not be replaced, as far as it helps the user.
Notice replaceFailure(const QString& recordPath)
{
    // Another copy took the lock for this one's (it seemed dead) and may be writing; the next
    // try waits for it.
    if (catalogue::lockLost())
        return busy();
    if (nameRefused(recordPath))
        return invalidName();
    return cannotWrite();
}

QList<profile::Entry> recordEntries(const GameEntry& entry, int size)
{
    return {{QStringLiteral("paths"), QStringLiteral("file"), entry.romPath},
            {QStringLiteral("paths"), QStringLiteral("image"), entry.imagePath},
            {QStringLiteral("info"), QStringLiteral("gamename"), entry.name},
            {QStringLiteral("info"), QStringLiteral("gametype"), entry.gameType},
            {QStringLiteral("info"), QStringLiteral("size"), QString::number(size)},
            {QStringLiteral("info"), QStringLiteral("desc"), entry.description}};
}

// The index's items for a rewrite, or nothing (with the notice) when it cannot be read.
std::optional<TextList> readIndexForWrite(SaveResult& result)
{
    const QString indexPath = catalogue::indexPath();
    std::optional<TextList> items = listfile::read(indexPath);
    if (!items) {
        // Written back without its names, the index would lose every one of them.
        result.notices << cannotWrite();
        return items;
    }
    // An index gone since start-up begins again as every index does, with its empty first line.
    if (!pathTaken(indexPath))
        items->append(QString());
    return items;
}

// Puts back what a save wrote at `path` while it still holds it: a copy that took the lock over
// may have saved it since.
void undoWrite(const QString& path, const std::optional<QByteArray>& written,
               const std::optional<QByteArray>& previous)
{
    if (readWholeFile(path) != written)
        return;
    if (previous)
        putBackFile(path, *previous);
    else
        removeFile(path);
}

// Writes the record, then the index with the name appended. The record goes back to what it
// was when the index cannot be written, so no half-done save stays behind.
SaveResult writeGame(const GameEntry& entry, int size, TextList& items)
{
    SaveResult result;
    result.outcome = SaveOutcome::Failed;

    // A record already there under another case of the name (or in the bytes a Windows archive
    // gave its name) is the one rewritten, as on Windows; a second beside it would never be read.
    QString recordPath = catalogue::findRecord(entry.name);
    const bool existed = !recordPath.isEmpty();
    if (recordPath.isEmpty())
        recordPath = catalogue::recordPath(entry.name);
    catalogue::BinChange change;
    const std::optional<QByteArray> previousRecord = readWholeFile(recordPath);
    const QList<profile::Entry> values = recordEntries(entry, size);
    // An add never replaces another game's values unasked; the same values again change nothing.
    if (existed && entry.openedAs.isEmpty() && !entry.replaceConfirmed &&
        (!previousRecord || profile::withValues(*previousRecord, values) != *previousRecord)) {
        result.outcome = SaveOutcome::WouldReplace;
        return result;
    }
    if (!profile::writeAll(recordPath, values)) {
        result.notices << replaceFailure(recordPath);
        return result;
    }
    const std::optional<QByteArray> written = readWholeFile(recordPath);

    items.append(entry.name);
    pumpIfDue();
    std::optional<TextList> index = listfile::write(catalogue::indexPath(), items);
    if (!index) {
        undoWrite(recordPath, written, previousRecord);
        result.notices << replaceFailure(recordPath);
        return result;
    }
    change.done(recordPath);
    result.outcome = SaveOutcome::Saved;
    result.index = std::move(*index);
    return result;
}

// The edit save of a game given a new name: new record, index lines in place, old record gone.
SaveResult renameGame(const GameEntry& entry, int size, TextList& items)
{
    SaveResult result;
    result.outcome = SaveOutcome::Failed;

    const QString oldPath = catalogue::findRecord(entry.openedAs);
    const QString existing = catalogue::findRecord(entry.name);
    // Only another case of the same name may find the game's own record.
    if (!existing.isEmpty() && (oldPath.isEmpty() || !sameFile(existing, oldPath))) {
        result.outcome = SaveOutcome::Refused;
        result.notices << Notice{
            QStringLiteral("A game named \u201C%1\u201D is already in the catalogue.")
                .arg(entry.name),
            QStringLiteral("Choose another name; nothing was changed.")};
        return result;
    }
    std::optional<QByteArray> oldRecord;
    if (!oldPath.isEmpty()) {
        oldRecord = readWholeFile(oldPath);
        // Its other keys would be lost.
        if (!oldRecord) {
            result.notices << cannotWrite();
            return result;
        }
    }

    // The lines that found the old record: its name, and other cases of it without a record of
    // their own. Decided before the new record can be found by them.
    TextList renamed;
    bool replaced = false;
    items.forEachEntry([&](const TextList::Segment& segment, const TextList::Span& span,
                           QStringView item) {
        const bool old = item == entry.openedAs ||
                         (item.compare(entry.openedAs, Qt::CaseInsensitive) == 0 &&
                          !oldPath.isEmpty() && catalogue::findRecord(item.toString()) == oldPath);
        if (old)
            renamed.append(entry.name);
        else
            renamed.appendShared(segment, span);
        replaced = replaced || old;
    });
    if (!replaced)
        renamed.append(entry.name);

    const QString newPath = catalogue::recordPath(entry.name);
    catalogue::BinChange change;
    const std::optional<QByteArray> previousAtNew = readWholeFile(newPath);
    const QByteArray bytes =
        profile::withValues(oldRecord.value_or(QByteArray()), recordEntries(entry, size));
    if (catalogue::lockLost() || !replaceFile(newPath, bytes)) {
        result.notices << replaceFailure(newPath);
        return result;
    }
    const std::optional<QByteArray> written = readWholeFile(newPath);
    pumpIfDue();
    std::optional<TextList> index = listfile::write(catalogue::indexPath(), renamed);
    if (!index) {
        undoWrite(newPath, written, previousAtNew);
        result.notices << replaceFailure(newPath);
        return result;
    }
    // A file system that ignores case renamed the old record in place.
    if (!oldPath.isEmpty() && !sameFile(oldPath, newPath) && !removeFile(oldPath))
        logFailure(lcStore(), "remove", oldPath, QStringLiteral("the renamed game's old record"));
    result.outcome = SaveOutcome::Saved;
    result.index = std::move(*index);
    result.renamedFrom = entry.openedAs;
    return result;
}

} // namespace

bool& catalogueWriteRunning()
{
    static bool running = false;
    return running;
}

SaveResult saveGame(const GameEntry& entry)
{
    SaveResult result;
    const bool edit = !entry.openedAs.isEmpty();
    std::optional<catalogue::Record> stored;
    if (edit) {
        const QString path = catalogue::findRecord(entry.openedAs);
        if (path.isEmpty() && !pathTaken(catalogue::recordPath(entry.openedAs))) {
            result.notices << gone(entry.openedAs);
            return result;
        }
        stored = catalogue::readRecord(path);
    }
    if (const std::optional<Notice> empty = firstEmptyField(entry, stored ? &*stored : nullptr)) {
        result.notices << *empty;
        return result;
    }
    if (!catalogue::isUsableGameName(entry.name)) {
        result.notices << invalidName();
        return result;
    }

    // Warnings only: a game may be catalogued before its files are in place. A path left empty
    // (as the record had it) names no file to miss.
    if (!entry.romPath.isEmpty() && !normalFileMatches(entry.romPath))
        result.notices << notice("The File Path you entered is invalid.", "Invalid File Path");
    if (!entry.imagePath.isEmpty() && !normalFileMatches(entry.imagePath))
        result.notices << notice("The Image Path you entered is invalid.", "Invalid Image Path");

    const std::optional<int> size = toInt16(entry.sizeText);
    if (!size) {
        result.notices << notice("The Size you entered is not a number from -32768 to 32767.",
                                 "Invalid Size");
        return result;
    }

    // Another copy of the program must not write between this save's read and its write.
    const catalogue::WriteLock lock;
    if (!lock.held()) {
        result.outcome = SaveOutcome::Failed;
        // "Busy" only when another copy holds the lock; a folder that cannot hold it says so.
        result.notices << (lock.state() == catalogue::WriteLock::State::Busy ? busy()
                                                                             : cannotWrite());
        return result;
    }
    // Removed since the look above, by another copy. Something else at its place is no removal:
    // the write reports it.
    if (edit && catalogue::findRecord(entry.openedAs).isEmpty() &&
        !pathTaken(catalogue::recordPath(entry.openedAs))) {
        result.notices = {gone(entry.openedAs)};
        return result;
    }
    const bool rename = edit && entry.openedAs != entry.name;
    SaveResult written;
    written.outcome = SaveOutcome::Failed;
    if (std::optional<TextList> items = readIndexForWrite(written))
        written = rename ? renameGame(entry, *size, *items) : writeGame(entry, *size, *items);
    written.notices = result.notices + written.notices;
    return written;
}

} // namespace vx
