#include "app/hubimport.h"

#include "app/vx_main.h"
#include "core/pump.h"
#include "core/reentry.h"
#include "core/romimport.h"
#include "ui/base/indexevents.h"
#include "ui/base/mnu_progress.h"
#include "ui/busypointer.h"
#include "ui/dialogs.h"
#include "ui/vx_modules.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <memory>

namespace vx
{

namespace
{

// Where the headers are read. Never waited for: a folder on a hung network share must not hold up
// the program's end.
QThreadPool& importReads()
{
    static QThreadPool* const pool = new QThreadPool;
    return *pool;
}

QStringList pictureSuffixes()
{
    QStringList suffixes;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        suffixes << QString::fromLatin1(format).toLower();
    return suffixes;
}

// What the reading thread and the hub share; the thread may outlive the hub's wait.
struct Reading {
    romimport::Progress progress;
    romimport::Found found;
};

// Reads the files' headers away from the windows; the windows keep answering meanwhile.
void readAway(const std::shared_ptr<Reading>& reading, const QStringList& paths)
{
    QEventLoop loop;
    const QPointer<QEventLoop> waiting(&loop);
    importReads().start([reading, paths, suffixes = pictureSuffixes(), waiting] {
        romimport::Progress& progress = reading->progress;
        const QStringList files =
            romimport::filesToRead(paths, [&progress] { return bool(progress.cancelled); });
        progress.total = int(files.size());
        reading->found = romimport::readFiles(files, suffixes, progress);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [waiting] {
                if (waiting)
                    waiting->quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
}

// What the progress window says is being imported: the folder's or file's name, and how many
// more were dropped with it.
QString importedNames(const QStringList& paths)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(paths.first()));
    QString first = QFileInfo(path).fileName();
    if (first.isEmpty()) // a root folder
        first = QDir::toNativeSeparators(path);
    return paths.size() == 1
               ? first
               : QStringLiteral("%1 and %2 more").arg(first, QLocale().toString(paths.size() - 1));
}

} // namespace

void importRoms(main& hub, const QStringList& paths)
{
    // A save or a Clear meanwhile would write an index read before the import's.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered() || paths.isEmpty())
        return;
    emit IndexEvents::get().aboutToWrite();
    BusyPointer busy(Qt::BusyCursor);

    // One count for the window: the files read, then the games written.
    auto reading = std::make_shared<Reading>();
    romimport::Progress writing;
    bool written = false;
    QTimer reveal;
    reveal.setSingleShot(true);
    QObject::connect(&reveal, &QTimer::timeout, &hub, [&] {
        mnu_progress::get().followCount(
            QStringLiteral("Importing ROMs"), importedNames(paths),
            [&] {
                const romimport::Progress& now = written ? writing : reading->progress;
                return mnu_progress::Count{now.done, now.total,
                                           reading->progress.cancelled || writing.cancelled};
            },
            [&] {
                reading->progress.cancelled = true;
                writing.cancelled = true;
            },
            hub);
    });
    reveal.start(500);

    readAway(reading, paths);
    romimport::Result result;
    if (reading->progress.cancelled) {
        result.outcome = romimport::Outcome::Cancelled;
    } else {
        written = true;
        writing.total = int(reading->found.games.size());
        result = romimport::writeGames(reading->found.games, writing, &pumpIfDue);
    }
    reveal.stop();
    mnu_progress::get().finish();
    if (result.indexWritten)
        emit IndexEvents::get().saved(result.index);
    // A failure says why; otherwise one notice says what came of it.
    if (result.outcome == romimport::Outcome::Failed)
        VX_modules::show_notices(result.notices);
    else
        VX_modules::show_notices({romimport::summary(reading->found, result)});
}

void chooseAndImport(main& hub, bool folder)
{
    const QStringList chosen = chooseToImport(
        &hub, folder,
        folder ? QStringLiteral("Choose a folder of ROMs to import")
               : QStringLiteral("Choose the ROMs to import"),
        QStringLiteral("Basic Rom types|*.rom;*.v64;*.zip;*.z64;*.n64|All Files|*.*"));
    importRoms(hub, chosen);
}

void rebuildIndex()
{
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return;
    emit IndexEvents::get().aboutToWrite();
    const romimport::Rebuilt rebuilt = romimport::rebuildIndex();
    if (rebuilt.added > 0)
        emit IndexEvents::get().saved(rebuilt.index);
    VX_modules::show_notices(rebuilt.notices);
}

} // namespace vx
