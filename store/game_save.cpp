#include "store/game_save.h"

#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "platform/listbox.h"
#include "platform/number.h"
#include "platform/profile.h"
#include "platform/reentry.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "store/catalogue.h"
#include "store/recordlookup.h"
#include "store/sys_procs.h"
#include "store/vx_modules.h"

#include <QWidget>
#include <algorithm>
#include <iterator>

namespace vx
{

namespace
{

using VX_modules::show_notice;

// The first empty field stops the save with its notice.
bool allFieldsFilled(const GameEntry& e)
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
    if (empty != std::end(checks)) {
        show_notice(QString::fromLatin1(empty->upper), QString::fromLatin1(empty->lower));
        return false;
    }
    return true;
}

void reportWriteFailure()
{
    show_notice(QStringLiteral("The game could not be saved."),
                QStringLiteral("Check that the bin folder can be written."));
}

void reportCatalogueBusy()
{
    show_notice(
        QStringLiteral("The game could not be saved."),
        QStringLiteral("Another copy of the program is busy with the catalogue; try again."));
}

} // namespace

bool& catalogueWriteRunning()
{
    static bool running = false;
    return running;
}

void nameGameFields(QWidget* name, QWidget* romPath, QWidget* imagePath, QWidget* gameType,
                    QWidget* size, QWidget* description)
{
    name->setAccessibleName(QStringLiteral("Game Name"));
    romPath->setAccessibleName(QStringLiteral("File Path"));
    imagePath->setAccessibleName(QStringLiteral("Picture Path"));
    gameType->setAccessibleName(QStringLiteral("Game Type"));
    size->setAccessibleName(QStringLiteral("Size"));
    description->setAccessibleName(QStringLiteral("Description"));
}

SaveOutcome saveGame(const GameEntry& entry, ListBox& workingList, Form& window)
{
    // A save pumps events while it reads and writes the index. Another save or a Clear started
    // meanwhile, from any window, would be undone or lose this one's line, so only one runs at
    // a time and a second press is ignored.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return SaveOutcome::Busy;

    if (!allFieldsFilled(entry))
        return SaveOutcome::Refused;
    if (!catalogue::isUsableGameName(entry.name)) {
        show_notice(QStringLiteral("The Game name cannot be used as a file name."),
                    QStringLiteral("Invalid Game Name"));
        return SaveOutcome::Refused;
    }

    if (!sys_procs::file_exists(entry.romPath))
        show_notice(QStringLiteral("The File Path you entered is invalid."),
                    QStringLiteral("Invalid File Path"));
    if (!sys_procs::file_exists(entry.imagePath))
        show_notice(QStringLiteral("The Image Path you entered is invalid."),
                    QStringLiteral("Invalid Image Path"));

    const auto size = toInt16(entry.sizeText);
    if (!size) {
        show_notice(QStringLiteral("The Size you entered is not a number from -32768 to 32767."),
                    QStringLiteral("Invalid Size"));
        return SaveOutcome::Refused;
    }

    main::finishStartup(); // the browser first takes the index as it was before this save
    // Another copy of the program must not write between this save's read and its write.
    const catalogue::WriteLock lock;
    if (!lock.held()) {
        reportCatalogueBusy();
        return SaveOutcome::Failed;
    }
    const QString indexPath = catalogue::indexPath();
    workingList.clear();
    if (!sys_procs::load_list(indexPath, workingList)) {
        // Written back from an empty list it would lose every name it holds.
        reportWriteFailure();
        return SaveOutcome::Failed;
    }
    // An index gone since start-up begins again as every index does, with its empty first line.
    if (!pathTaken(indexPath))
        workingList.addItem(QString());

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
                     {QStringLiteral("info"), QStringLiteral("size"), QString::number(*size)},
                     {QStringLiteral("info"), QStringLiteral("desc"), entry.description}});
    if (!recordWritten) {
        reportWriteFailure();
        return SaveOutcome::Failed;
    }

    workingList.addItem(entry.name);
    // save_list, keeping the text: the browser is refilled from it below. Events are served
    // between the steps over the whole list, as they were during the read above.
    const TextList items = workingList.texts();
    sys_procs::pumpIfDue();
    bool plain = false;
    textcodec::Encoding encoding;
    const QByteArray bytes =
        sys_procs::listFileBytes(items, textcodec::remembered(indexPath), &plain, &encoding);
    sys_procs::pumpIfDue();
    if (!replaceFile(indexPath, bytes)) {
        // No half-done save stays behind: the record goes back to what it was.
        if (previousRecord)
            replaceFile(recordPath, *previousRecord);
        else
            removeFile(recordPath);
        reportWriteFailure();
        return SaveOutcome::Failed;
    }
    textcodec::remember(indexPath, encoding);
    change.done(recordPath);

    mnu_list& browser = mnu_list::get();
    browser.hide();
    // What load_list would read back from the index just written: the same items when they are
    // plain; otherwise the written bytes are read as the file would be.
    if (plain)
        sys_procs::rememberListFile(bytes, items);
    sys_procs::appendItems(*browser.rom_list, sys_procs::listFileItems(bytes));

    sys_procs::slide_out_left(window);
    return SaveOutcome::Saved;
}

} // namespace vx
