#include "app/hubimport.h"

#include "app/vx_main.h"
#include "core/reentry.h"
#include "core/romimport.h"
#include "core/verifier.h"
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
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

namespace vx
{

namespace
{

// Where the headers are read and the records written. Never waited for: a folder on a hung
// network share must not hold up the program's end.
QThreadPool& importThreads()
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

// What the import's thread and the hub share; the thread may outlive the hub's wait.
struct Importing {
    romimport::Progress reading;
    romimport::Progress writing;
    std::atomic<bool> writes{false}; // the games are being written: the count is theirs
    std::atomic<bool> finished{false};
    QSemaphore done;
    std::optional<DatNamer> namer; // with a DAT: games it lists take its names
    romimport::Found found;
    romimport::Result result;

    void cancel()
    {
        reading.cancelled = true;
        writing.cancelled = true;
    }
};

void importThere(Importing& in, const QStringList& paths, const QStringList& suffixes)
{
    const QStringList files =
        romimport::filesToRead(paths, [&in] { return bool(in.reading.cancelled); });
    in.reading.total = int(files.size());
    std::function<QString(const QString&)> datName;
    if (in.namer)
        datName = [&in](const QString& path) {
            return in.namer->nameOf(path, &in.reading.cancelled);
        };
    in.found = romimport::readFiles(files, suffixes, in.reading, datName);
    if (in.namer)
        in.namer->keep();
    if (in.reading.cancelled) {
        in.result.outcome = romimport::Outcome::Cancelled;
        return;
    }
    in.writing.total = int(in.found.games.size());
    in.writes = true;
    in.result = romimport::writeGames(in.found.games, in.writing, {});
}

// Reads the files and writes the games away from the windows, which keep answering meanwhile
// (their reads of the catalogue are safe beside the writes; every other write waits for this
// one). False when the wait ended early, the program ending: the import then stops as Cancel
// stops it.
bool importAway(const std::shared_ptr<Importing>& importing, const QStringList& paths)
{
    QEventLoop loop;
    const QPointer<QEventLoop> waiting(&loop);
    importThreads().start([importing, paths, suffixes = pictureSuffixes(), waiting] {
        importThere(*importing, paths, suffixes);
        importing->finished = true;
        importing->done.release();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [waiting] {
                if (waiting)
                    waiting->quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    if (importing->finished)
        return true;
    importing->cancel();
    // Records being written are finished whole, with the index; a hung read is not waited for.
    if (importing->writes)
        importing->done.acquire();
    return false;
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
    auto importing = std::make_shared<Importing>();
    importing->namer = Verifier::get().namer();
    QTimer reveal;
    reveal.setSingleShot(true);
    QObject::connect(&reveal, &QTimer::timeout, &hub, [&] {
        mnu_progress::get().followCount(
            QStringLiteral("Importing ROMs"), importedNames(paths),
            [&] {
                const romimport::Progress& now =
                    importing->writes ? importing->writing : importing->reading;
                return mnu_progress::Count{now.done, now.total, bool(importing->reading.cancelled)};
            },
            [&] { importing->cancel(); }, hub);
    });
    reveal.start(500);

    const bool finished = importAway(importing, paths);
    reveal.stop();
    mnu_progress::get().finish();
    if (!finished)
        return;
    const romimport::Result& result = importing->result;
    if (result.indexWritten)
        emit IndexEvents::get().saved(result.index);
    // A failure says why; otherwise one notice says what came of it.
    if (result.outcome == romimport::Outcome::Failed)
        VX_modules::show_notices(result.notices);
    else
        VX_modules::show_notices({romimport::summary(importing->found, result)});
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
