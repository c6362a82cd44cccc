#include "core/gamesave.h"

#include "core/catalogue.h"
#include "core/filesearch.h"
#include "core/listfile.h"
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

// The first empty field stops the save with its notice.
std::optional<Notice> firstEmptyField(const GameEntry& e)
{
    struct Check {
        const QString& text;
        const char* upper;
        const char* lower;
    };
    const Check checks[] = {
        {e.name, "You havn't entered in a Game name, please try again.", "No Game Name entered."},
        {e.romPath, "You havn't entered in a File Path, please try again.",
         "No File Path entered."},
        {e.imagePath, "You havn't entered in a Image Path, please try again.",
         "No Image Path entered."},
        {e.gameType, "You havn't entered in a Game Type, please try again.",
         "No Game Type entered."},
        {e.sizeText, "You havn't entered in a Size for the rom, please try again.",
         "No Size entered."},
        {e.description, "You havn't entered in a Description for the Rom, please try again.",
         "No ROM Description entered."},
    };
    const auto* empty = std::find_if(std::begin(checks), std::end(checks),
                                     [](const Check& check) { return check.text.isEmpty(); });
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

// Writes the record, then the index with the name appended. The record goes back to what it
// was when the index cannot be written, so no half-done save stays behind.
SaveResult writeGame(const GameEntry& entry, int size)
{
    SaveResult result;
    result.outcome = SaveOutcome::Failed;
    const QString indexPath = catalogue::indexPath();
    std::optional<TextList> items = listfile::read(indexPath);
    if (!items) {
        // Written back without its names, the index would lose every one of them.
        result.notices << cannotWrite();
        return result;
    }
    // An index gone since start-up begins again as every index does, with its empty first line.
    if (!pathTaken(indexPath))
        items->append(QString());

    // A record already there under another case of the name (or in the bytes a Windows archive
    // gave its name) is the one rewritten, as on Windows; a second beside it would never be read.
    QString recordPath = catalogue::findRecord(entry.name);
    if (recordPath.isEmpty())
        recordPath = catalogue::recordPath(entry.name);
    catalogue::BinChange change;
    const std::optional<QByteArray> previousRecord = readWholeFile(recordPath);
    const bool recordWritten = profile::writeAll(
        recordPath, {{QStringLiteral("paths"), QStringLiteral("file"), entry.romPath},
                     {QStringLiteral("paths"), QStringLiteral("image"), entry.imagePath},
                     {QStringLiteral("info"), QStringLiteral("gamename"), entry.name},
                     {QStringLiteral("info"), QStringLiteral("gametype"), entry.gameType},
                     {QStringLiteral("info"), QStringLiteral("size"), QString::number(size)},
                     {QStringLiteral("info"), QStringLiteral("desc"), entry.description}});
    if (!recordWritten) {
        result.notices << replaceFailure(recordPath);
        return result;
    }
    const std::optional<QByteArray> written = readWholeFile(recordPath);

    items->append(entry.name);
    pumpIfDue();
    std::optional<TextList> index = listfile::write(indexPath, *items);
    if (!index) {
        // Only while it holds what this save wrote: a copy that took the lock over may have
        // saved it since.
        if (readWholeFile(recordPath) == written) {
            if (previousRecord)
                putBackFile(recordPath, *previousRecord);
            else
                removeFile(recordPath);
        }
        result.notices << replaceFailure(recordPath);
        return result;
    }
    change.done(recordPath);
    result.outcome = SaveOutcome::Saved;
    result.index = std::move(*index);
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
    if (const std::optional<Notice> empty = firstEmptyField(entry)) {
        result.notices << *empty;
        return result;
    }
    if (!catalogue::isUsableGameName(entry.name)) {
        result.notices << invalidName();
        return result;
    }

    // Warnings only: a game may be catalogued before its files are in place.
    if (!normalFileMatches(entry.romPath))
        result.notices << notice("The File Path you entered is invalid.", "Invalid File Path");
    if (!normalFileMatches(entry.imagePath))
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
    SaveResult written = writeGame(entry, *size);
    written.notices = result.notices + written.notices;
    return written;
}

} // namespace vx
