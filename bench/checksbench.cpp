// The checksum figures: a 64 MiB ROM hashed (CRC32, MD5 and SHA-1 of its big-endian image)
// against sha1sum on the same file, taking turns at going first, and a DAT of 60,000 ROMs read.

#include "bench/checksbench.h"

#include "core/datfile.h"
#include "core/romsums.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace vxbench
{

namespace
{

constexpr double kHashThroughput = 0.8;
constexpr double kDatMs = 1000;

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A .v64 image, so the swap is timed too.
bool makeRom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, '\0');
    QRandomGenerator random(64);
    for (int i = 0; i < 64; ++i) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        if (i == 0)
            block.replace(0, 4, QByteArray::fromHex("37804012"));
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

bool makeDat(const QString& path, int roms)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("<?xml version=\"1.0\"?>\n<datafile>\n<header><name>Bench</name></header>\n");
    for (int n = 0; n < roms; ++n) {
        const QByteArray key = QByteArray::number(n);
        const QByteArray name = "Game Number " + key + " (Europe) (En,Fr,De)";
        file.write("\t<game name=\"" + name + "\">\n\t\t<description>" + name +
                   "</description>\n\t\t<rom name=\"" + name + ".z64\" size=\"8388608\" crc=\"" +
                   QByteArray::number(quint32(n) * 2654435761U, 16).rightJustified(8, '0') +
                   "\" md5=\"" + QCryptographicHash::hash(key, QCryptographicHash::Md5).toHex() +
                   "\" sha1=\"" +
                   QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().toUpper() +
                   "\"/>\n\t</game>\n");
    }
    file.write("</datafile>\n");
    return file.error() == QFileDevice::NoError;
}

// Processor time, user and system, in ms: on a busy shared machine the time on the clock says
// more of the machine than of the code.
double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3) +
           (double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
}

struct Timed {
    double ms = 0;
    double cpu = 0;
};

Timed timeSha1sum(const QString& path)
{
    QProcess tool;
    QElapsedTimer timer;
    const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
    timer.start();
    tool.start(QStringLiteral("sha1sum"), {path});
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0)
        return {};
    return {double(timer.nsecsElapsed()) / 1e6, cpuMs(RUSAGE_CHILDREN) - cpuBefore};
}

Timed timeOurs(const QString& path)
{
    QElapsedTimer timer;
    const double cpuBefore = cpuMs(RUSAGE_SELF);
    timer.start();
    if (!vx::romsums::ofFile(path))
        return {};
    return {double(timer.nsecsElapsed()) / 1e6, cpuMs(RUSAGE_SELF) - cpuBefore};
}

} // namespace

int runChecksBench(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bool check = false;
    int runs = 7;
    const QStringList args = app.arguments();
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--check"))
            check = true;
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
    }
    QTemporaryDir dir;
    const QString rom = dir.filePath(QStringLiteral("bench.v64"));
    const QString dat = dir.filePath(QStringLiteral("bench.dat"));
    if (!makeRom(rom) || !makeDat(dat, 60000)) {
        say(QStringLiteral("could not write the bench files in %1").arg(dir.path()));
        return 2;
    }

    // Both read the file from the page cache: one untimed read first.
    timeSha1sum(rom);
    std::vector<double> ours;
    std::vector<double> tool;
    std::vector<double> oursCpu;
    std::vector<double> toolCpu;
    std::vector<double> datMs;
    std::vector<double> datCpu;
    for (int r = 0; r < runs; ++r) {
        Timed mine;
        Timed theirs;
        if (r % 2 == 0) {
            mine = timeOurs(rom);
            theirs = timeSha1sum(rom);
        } else {
            theirs = timeSha1sum(rom);
            mine = timeOurs(rom);
        }
        ours.push_back(mine.ms);
        oursCpu.push_back(mine.cpu);
        tool.push_back(theirs.ms);
        toolCpu.push_back(theirs.cpu);
        QElapsedTimer timer;
        const double cpuBefore = cpuMs(RUSAGE_SELF);
        timer.start();
        const vx::datfile::Loaded loaded = vx::datfile::load(dat);
        const bool whole = loaded.dat && loaded.dat->size() == 60000;
        datMs.push_back(whole ? double(timer.nsecsElapsed()) / 1e6 : 1e9);
        datCpu.push_back(cpuMs(RUSAGE_SELF) - cpuBefore);
    }
    const double oursMs = median(ours);
    const double toolMs = median(tool);
    const double throughput = oursMs > 0 ? toolMs / oursMs : 0;
    const double readMs = median(datMs);
    const bool hashMet = throughput >= kHashThroughput;
    const bool datMet = readMs < kDatMs;
    say(QStringLiteral("checksums (median of %1 runs, ms; processor time in brackets)").arg(runs));
    say(QStringLiteral("hash 64 MiB .v64 (CRC32+MD5+SHA-1)  ours %1 (%2)  sha1sum %3 (%4)  "
                       "throughput %5  target >= %6  %7")
            .arg(oursMs, 0, 'f', 1)
            .arg(median(oursCpu), 0, 'f', 1)
            .arg(toolMs, 0, 'f', 1)
            .arg(median(toolCpu), 0, 'f', 1)
            .arg(throughput, 0, 'f', 2)
            .arg(kHashThroughput)
            .arg(hashMet ? QStringLiteral("yes") : QStringLiteral("NO")));
    say(QStringLiteral("read a DAT of 60,000 ROMs           ours %1 (%2)  target < %3  %4")
            .arg(readMs, 0, 'f', 1)
            .arg(median(datCpu), 0, 'f', 1)
            .arg(kDatMs)
            .arg(datMet ? QStringLiteral("yes") : QStringLiteral("NO")));
    return check && !(hashMet && datMet) ? 1 : 0;
}

} // namespace vxbench
