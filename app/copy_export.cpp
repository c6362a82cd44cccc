#include "app/copy_export.h"

#include "app/vx_main.h"
#include "core/cartridge.h"
#include "core/catalogue.h"
#include "core/filecopy.h"
#include "core/filesearch.h"
#include "core/reentry.h"
#include "ui/base/mnu_progress.h"
#include "ui/busypointer.h"
#include "ui/sys_procs.h"
#include "ui/vx_modules.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace vx
{

namespace
{

void copyFailed()
{
    VX_modules::show_notice(QStringLiteral("The ROM could not be copied."),
                            QStringLiteral("Please check the destination and try again."));
}

// A copy is running; Copy ROM and Export ROM are ignored meanwhile.
bool copying = false;

// Copies on a worker thread with the busy pointer up while the windows keep answering; a copy
// still running after half a second shows the copy window, whose Cancel stops it. Nothing is
// reported here: the pointer is back before any notice.
CopyResult copyBusy(main& hub, const QString& source, const QString& destination,
                    CopyConversion conversion = CopyConversion::None)
{
    ReentryGuard guard(copying);
    BusyPointer busy;
    BackgroundCopy copy(source, destination, conversion);
    QEventLoop loop;
    QObject::connect(&copy, &BackgroundCopy::finished, &loop, &QEventLoop::quit);
    bool shown = false;
    QTimer reveal;
    reveal.setSingleShot(true);
    QObject::connect(&reveal, &QTimer::timeout, &hub, [&] {
        shown = true;
        mnu_progress::get().follow(copy, VX_modules::file_name_of(source), hub);
    });
    reveal.start(500);
    copy.start();
    loop.exec();
    if (shown)
        mnu_progress::get().finish();
    return copy.result();
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

bool exporting = false;

bool exportedAsZ64(const QString& source)
{
    // By the name, as dropped files are told apart: the copy itself turns what is swapped and
    // keeps anything else (a .rom that holds no image) as it is. A zip stays a zip.
    return catalogue::exportsBigEndian() && cartridge::hasRomSuffix(source) &&
           QFileInfo(source).suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) != 0;
}

} // namespace

QString exportTarget(const QString& folder, const QString& source, bool asZ64)
{
    QString name = VX_modules::file_name_of(source);
    if (asZ64)
        name = name.left(name.lastIndexOf(QLatin1Char('.'))) + QLatin1String(".z64");
    if (folder.isEmpty() || !isSeparator(folder.back()))
        return folder + QDir::separator() + name;
    // A folder typed with either separator at its end gets no second one; where the backslash
    // is no separator it is read as the native one, so the copy lands inside the folder.
    return folder.chopped(1) + QDir::separator() + name;
}

void copyRom(main& hub)
{
    if (copying)
        return;
    CommonDialog& dialog = hub.cd1;
    dialog.DialogTitle = QStringLiteral("Choose a ROM to copy");
    dialog.Filter = QStringLiteral("Basic Rom types|*.rom;*.v64;*.zip;*.z64;*.n64|All Files|*.*");
    // A cancelled dialog chose nothing, whatever name it still holds.
    const QString source = dialog.ShowOpen(&hub) ? dialog.FileName : QString();
    if (source.isEmpty()) {
        VX_modules::show_notice(QStringLiteral("You did not designate a ROM."),
                                QStringLiteral("Please designate one and try again."));
        return;
    }
    if (!sys_procs::file_exists(source)) {
        VX_modules::show_notice(QStringLiteral("The file you specified does not exist."),
                                QStringLiteral("Please choose a valid path and try again."));
        return;
    }

    dialog.DialogTitle = QStringLiteral("Where would you like it copied too");
    const QString destination = dialog.ShowSave(&hub) ? dialog.FileName : QString();
    if (destination.isEmpty()) {
        VX_modules::show_notice(QStringLiteral("You did not specify an new file."),
                                QStringLiteral("Please specify a new file and try again."));
        return;
    }

    if (copyBusy(hub, source, destination) == CopyResult::Failed)
        copyFailed();
}

void exportRom(main& hub)
{
    // The notice's pause keeps events flowing; a second Export meanwhile is ignored.
    ReentryGuard guard(exporting);
    if (!guard.entered() || copying)
        return;

    // A game named "[None]" reads as none, as the title shown before any view does.
    const auto& viewed = hub.viewedGame();
    if (!viewed || viewed->title.toLower() == QLatin1String("[none]")) {
        VX_modules::show_notice(QStringLiteral("You must view a ROM before you may export it."),
                                QStringLiteral("Please view a rom."));
        return;
    }

    const QString folder = catalogue::exportFolder();
    if (folder.isEmpty()) {
        VX_modules::show_notice(QStringLiteral("You have no export directory setting."),
                                QStringLiteral("Loading Setup Menu."));
        sys_procs::pause(3);
        hub.offerOptions();
        return;
    }

    const QString source = viewed->record.file;
    if (!sys_procs::file_exists(source)) {
        VX_modules::show_notice(QStringLiteral("File does not exist."),
                                QStringLiteral("Please check the path and try again."));
        return;
    }
    // A folder a settings file from Windows names is no folder here, nor one under the current
    // folder.
    if (isWindowsOnlyPath(folder)) {
        copyFailed();
        return;
    }
    const bool asZ64 = exportedAsZ64(source);
    if (copyBusy(hub, source, exportTarget(folder, source, asZ64),
                 asZ64 ? CopyConversion::ToBigEndian : CopyConversion::None) == CopyResult::Failed)
        copyFailed();
}

} // namespace vx
