// The copy figures: Export ROM and Copy ROM of a 1 GiB file and Copy ROM of a sparse one, each
// against cp run in between, with the longest stretch the windows went without events.

#include "app/vx_main.h"
#include "bench/catalogue_gen.h"
#include "bench/child.h"
#include "bench/pumpprobe.h"
#include "core/catalogue.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace vxbench
{

namespace
{

constexpr qint64 kBigBytes = 1ll << 30;

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// 1 GiB of which only eight 1 MiB stretches hold data; the rest is holes.
bool makeSparse(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray island(1 << 20, 'x');
    for (int i = 0; i < 8; ++i) {
        if (!file.seek(qint64(i) * (kBigBytes / 8) + (5 << 20)) ||
            file.write(island) != island.size())
            return false;
    }
    return file.resize(kBigBytes);
}

qint64 blocksOf(const QString& path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) : -1;
}

// Every timed copy starts with no earlier copy's bytes still waiting to be written out, so
// neither side pays for the other's write-back.
void quiet()
{
    ::sync();
}

// Milliseconds of cp from `source` to `destination` (the destination removed first).
double timedCp(const QStringList& options, const QString& source, const QString& destination)
{
    QFile::remove(destination);
    quiet();
    const qint64 start = monotonicNs();
    QProcess::execute(QStringLiteral("cp"), options + QStringList{source, destination});
    return double(monotonicNs() - start) / 1e6;
}

} // namespace

int childCopy(int& argc, char** argv, const QString& folder, const QString& work, int runs)
{
    QApplication app(argc, argv);
    if (!startHub(app, folder))
        return 2;
    vx::dialogs::setScripted(true);
    vx::main& hub = vx::main::get();

    const QString big = work + QStringLiteral("/Disc Image.v64");
    const QString sparse = work + QStringLiteral("/Sparse Image.v64");
    const QString copied = work + QStringLiteral("/copy.v64");
    const QString exported = vx::catalogue::exportFolder() + QStringLiteral("/Disc Image.v64");
    if (!makeRom(big, kBigBytes) || !makeSparse(sparse)) {
        say(QStringLiteral("cannot write the 1 GiB files"));
        return 2;
    }
    hub.showGame(QStringLiteral("Disc Image"), {big, {}, {}, {}, {}});

    PumpProbe probe;
    QMap<QString, std::vector<double>> ours;
    QMap<QString, std::vector<double>> floors;
    QMap<QString, double> gaps;
    // Each run of ours waits until the copy is over (the command returns then, or the pointer
    // comes back), so a copy left running in the background is not counted as done.
    auto measure = [&](const QString& key, const QString& destination, auto&& command) {
        QFile::remove(destination);
        quiet();
        QCoreApplication::processEvents();
        probe.start();
        const qint64 start = monotonicNs();
        command();
        while (QApplication::overrideCursor() || !QFile::exists(destination))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ours[key].push_back(double(monotonicNs() - start) / 1e6);
        gaps[key] = std::max(gaps.value(key), probe.stop());
    };
    auto copyRom = [&](const QString& source) {
        return [&hub, source, copied] {
            vx::dialogs::queueFile(source);
            vx::dialogs::queueFile(copied);
            hub.Label6_Click();
        };
    };
    for (int r = 0; r < runs; ++r) {
        // One big copy on the disk at a time (the disk slows down as more are written), and
        // ours and cp take turns at going first.
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + r) % 2 == 0) {
                measure(QStringLiteral("export"), exported, [&] { hub.Label7_Click(); });
                QFile::remove(exported);
                measure(QStringLiteral("copy"), copied, copyRom(big));
                QFile::remove(copied);
            } else {
                floors[QStringLiteral("export")].push_back(timedCp({}, big, exported));
                QFile::remove(exported);
                floors[QStringLiteral("copy")].push_back(timedCp({}, big, copied));
                QFile::remove(copied);
            }
        }

        measure(QStringLiteral("sparse"), copied, copyRom(sparse));
        if (r == 0)
            say(QStringLiteral("blocks %1 %2").arg(blocksOf(copied)).arg(blocksOf(sparse)));
        floors[QStringLiteral("sparse")].push_back(
            timedCp({QStringLiteral("--sparse=auto")}, sparse, copied));
        QFile::remove(copied);
    }
    QFile::remove(big);
    QFile::remove(sparse);

    for (auto it = ours.cbegin(); it != ours.cend(); ++it)
        say(QStringLiteral("copyfig %1 %2 %3")
                .arg(it.key())
                .arg(median(it.value()), 0, 'f', 2)
                .arg(median(floors.value(it.key())), 0, 'f', 2));
    for (auto it = gaps.cbegin(); it != gaps.cend(); ++it)
        say(QStringLiteral("copygap %1 %2").arg(it.key()).arg(it.value(), 0, 'f', 1));
    return 0;
}

} // namespace vxbench
