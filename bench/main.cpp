// vexloutil_bench: times the program's commands on catalogues of 1,000, 32,767 and 100,000
// names against floors measured in the same run, and checks the speed targets.
//
//   vexloutil_bench [--check] [--runs N] [--sizes 1000,32767,100000] [--big] [--keep] [--no-copy]
//                   [--import COUNT]   (import many alone, COUNT images, against its floor)
//
// --big adds a catalogue of 1,000,000 names, with its own targets: every figure at most 12 times
// its figure at 100,000 names, no stretch over 50 ms without event pumping, a peak under 200 MiB.
//
// The copy figures (1 GiB files, written into the temporary folder) run once, after the sizes.
//
// Start-up, the per-size figures and the memory peaks each run in a child process of this
// same binary (the --child-* modes), so start-up is timed from a fresh process and each size
// has its own memory peak.

#include "bench/catalogue_gen.h"
#include "bench/checksbench.h"
#include "bench/child.h"
#include "bench/importbench.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

using namespace vxbench;

namespace
{

constexpr qint64 kRomBytes = 64ll << 20;
constexpr int kReference = 32767;
constexpr int kLarge = 100000;
constexpr int kBig = 1000000;
constexpr double kGrowthLimit = 3.5;
constexpr double kBigGrowthLimit = 12;
constexpr double kBigPeakLimitMiB = 200;
constexpr int kRounds = 3;
constexpr double kGapLimitMs = 50;
constexpr double kPeakLimitMiB = 300;
constexpr double kCopyThroughput = 0.9;
constexpr double kSparseTimeLimit = 2;

struct FigureInfo {
    const char* key;
    const char* title;
    double target; // ratio to the floor at 32,767 names; 0 for none
};

const FigureInfo kFigures[] = {
    {"startup", "start-up", 1.3}, {"interactive", "interactive", 0}, {"view", "View ROM", 3},
    {"edit", "Edit ROM", 3},      {"addsave", "add save", 3},        {"editsave", "edit save", 3},
    {"game", "view a game", 3},   {"export", "export", 1.1},
};

// The stretches without event pumping, in the order of the table.
const std::pair<const char*, const char*> kGaps[] = {
    {"startup", "start-up"}, {"view", "View ROM"},      {"edit", "Edit ROM"},
    {"addsave", "add save"}, {"editsave", "edit save"},
};

struct SizeResult {
    QMap<QString, std::pair<double, double>> figures; // ours, floor (ms)
    QMap<QString, double> gaps;                       // ms
    double firstGameMs = -1;                          // the first game viewed in the process
    double peakMiB = -1;
};

void say(const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Runs this binary in a child mode; its stdout lines, or nothing when it failed.
std::optional<QStringList> runChild(const QStringList& args, qint64* startedNs = nullptr)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(), args);
    if (startedNs)
        *startedNs = start;
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fprintf(stderr, "child %s failed (exit %d)\n", qPrintable(args.join(' ')),
                     child.exitCode());
        return std::nullopt;
    }
    return QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// From spawning a start-up child: milliseconds to its first paint of the hub and, for the
// program, to the moment it answers with start-up done, and the longest stretch without event
// pumping between the two.
struct StartupTimes {
    double paintMs = -1;
    double interactiveMs = -1;
    double gapMs = -1;
};

std::optional<StartupTimes> startupRun(const QStringList& args)
{
    qint64 started = 0;
    const auto lines = runChild(args, &started);
    if (!lines)
        return std::nullopt;
    StartupTimes times;
    for (const QString& line : *lines) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() != 2)
            continue;
        if (f[0] == QLatin1String("exposed"))
            times.paintMs = double(f[1].toLongLong() - started) / 1e6;
        else if (f[0] == QLatin1String("interactive"))
            times.interactiveMs = double(f[1].toLongLong() - started) / 1e6;
        else if (f[0] == QLatin1String("startgap"))
            times.gapMs = f[1].toDouble();
    }
    if (times.paintMs < 0)
        return std::nullopt;
    return times;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString cell(const QString& text, int width, bool left = false)
{
    return left ? text.leftJustified(width) : text.rightJustified(width);
}

} // namespace

// The offscreen platform's notes about raising windows are noise here.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support raise")) ||
        message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Child modes.
    if (argc >= 2 && std::strncmp(argv[1], "--child-", 8) == 0) {
        const QString mode = QString::fromLocal8Bit(argv[1]);
        auto arg = [&](int i) { return i < argc ? QString::fromLocal8Bit(argv[i]) : QString(); };
        if (mode == QLatin1String("--child-startup"))
            return childStartup(argc, argv, arg(2));
        if (mode == QLatin1String("--child-startup-floor"))
            return childStartupFloor(argc, argv);
        if (mode == QLatin1String("--child-measure"))
            return childMeasure(argc, argv, arg(2), arg(3), arg(4), arg(5).toInt());
        if (mode == QLatin1String("--child-copy"))
            return childCopy(argc, argv, arg(2), arg(3), arg(4).toInt());
        if (mode == QLatin1String("--child-find"))
            return childFind(argc, argv, arg(2).toInt());
        if (mode == QLatin1String("--child-memory"))
            return childMemory(argc, argv, arg(2), arg(3), arg(4));
        std::fprintf(stderr, "unknown mode %s\n", argv[1]);
        return 2;
    }

    if (argc >= 2 && std::strcmp(argv[1], "--checks") == 0)
        return runChecksBench(argc, argv);

    // A GUI application only to draw the box art.
    QGuiApplication app(argc, argv);
    bool check = false;
    bool keep = false;
    bool copies = true;
    bool big = false;
    int runs = 5;
    int importCount = 0;
    QList<int> sizes = {1000, kReference, kLarge};
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--check")) {
            check = true;
        } else if (args[i] == QLatin1String("--keep")) {
            keep = true;
        } else if (args[i] == QLatin1String("--big")) {
            big = true;
        } else if (args[i] == QLatin1String("--no-copy")) {
            copies = false;
        } else if (args[i] == QLatin1String("--import") && i + 1 < args.size()) {
            importCount = args[++i].toInt();
        } else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString& size : args[++i].split(QLatin1Char(',')))
                sizes << size.toInt();
        } else {
            std::fprintf(stderr,
                         "usage: vexloutil_bench [--check] [--runs N] [--sizes a,b,c] [--big] "
                         "[--keep] [--no-copy] [--import COUNT]\n");
            return 2;
        }
    }
    if (big && !sizes.contains(kBig))
        sizes << kBig;

    QTemporaryDir base(QDir::tempPath() + QStringLiteral("/vexloutil-bench-XXXXXX"));
    base.setAutoRemove(!keep);
    if (!base.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 2;
    }
    // Import many alone: its own figure against its own floor.
    if (importCount > 0)
        return vx::bench::importBench(base.path(), importCount, runs, check);
    const QString romPath = base.filePath(QStringLiteral("roms/Cartridge Dump.v64"));
    const QString imagePath = base.filePath(QStringLiteral("pictures/box art.png"));
    QDir().mkpath(base.filePath(QStringLiteral("roms")));
    QDir().mkpath(base.filePath(QStringLiteral("pictures")));
    if (!makeRom(romPath, kRomBytes) || !makePicture(imagePath)) {
        std::fprintf(stderr, "cannot write the ROM or the picture\n");
        return 2;
    }
    say(QStringLiteral(
            "Vexloutil benchmark: %1 runs a figure in each of %2 rounds taking the sizes in "
            "turn; medians; temporary folder %3")
            .arg(runs)
            .arg(kRounds)
            .arg(base.path()));

    QMap<int, SizeResult> results;
    for (int size : sizes) {
        QElapsedTimer made;
        made.start();
        const QString folder = base.filePath(QStringLiteral("catalogue-%1").arg(size));
        makeCatalogue(folder, size, romPath, imagePath);
        say(QStringLiteral("%1 names: catalogue written in %2 s; measuring...")
                .arg(size)
                .arg(fixed(made.elapsed() / 1000.0, 1)));
        SizeResult& result = results[size];
        if (const auto lines =
                runChild({QStringLiteral("--child-memory"), folder, romPath, imagePath})) {
            for (const QString& line : *lines) {
                if (line.startsWith(QLatin1String("peak ")))
                    result.peakMiB = line.mid(5).toDouble() / 1024.0;
            }
        }
    }

    // The figures in rounds that take the sizes in turn, so that a slow spell of a shared machine
    // falls on every size alike rather than on one: each figure is the median of its rounds'
    // medians.
    QMap<int, QMap<QString, std::vector<double>>> roundOurs, roundFloors;
    for (int round = 0; round < kRounds; ++round) {
        for (int size : sizes) {
            const QString folder = base.filePath(QStringLiteral("catalogue-%1").arg(size));
            say(QStringLiteral("%1 names: round %2 of %3...")
                    .arg(size)
                    .arg(round + 1)
                    .arg(kRounds));
            SizeResult& result = results[size];
            std::vector<double> ours;
            std::vector<double> interactive;
            std::vector<double> startGaps;
            std::vector<double> floors;
            for (int r = 0; r < runs; ++r) {
                if (const auto t = startupRun({QStringLiteral("--child-startup"), folder})) {
                    ours.push_back(t->paintMs);
                    interactive.push_back(t->interactiveMs);
                    startGaps.push_back(t->gapMs);
                }
                if (const auto t = startupRun({QStringLiteral("--child-startup-floor")}))
                    floors.push_back(t->paintMs);
            }
            roundOurs[size][QStringLiteral("startup")].push_back(median(ours));
            roundFloors[size][QStringLiteral("startup")].push_back(median(floors));
            // Against the same floor: a bare program answers once it has painted.
            roundOurs[size][QStringLiteral("interactive")].push_back(median(interactive));
            roundFloors[size][QStringLiteral("interactive")].push_back(median(floors));
            // The longest of the rounds, each round's the median of its runs.
            result.gaps[QStringLiteral("startup")] =
                std::max(result.gaps.value(QStringLiteral("startup")), median(startGaps));

            const auto lines = runChild({QStringLiteral("--child-measure"), folder, romPath,
                                         imagePath, QString::number(runs)});
            if (!lines)
                continue;
            for (const QString& line : *lines) {
                const QStringList f = line.split(QLatin1Char(' '));
                if (f.value(0) == QLatin1String("figure") && f.size() == 4) {
                    roundOurs[size][f[1]].push_back(f[2].toDouble());
                    roundFloors[size][f[1]].push_back(f[3].toDouble());
                } else if (f.value(0) == QLatin1String("gap") && f.size() == 3) {
                    // The longest of the rounds.
                    result.gaps[f[1]] = std::max(result.gaps.value(f[1]), f[2].toDouble());
                } else if (f.value(0) == QLatin1String("first") && f.size() == 3) {
                    if (round == 0)
                        result.firstGameMs = f[2].toDouble();
                } else {
                    say(QStringLiteral("  child: ") + line);
                }
            }
        }
    }
    for (auto size = roundOurs.cbegin(); size != roundOurs.cend(); ++size) {
        for (auto figure = size->cbegin(); figure != size->cend(); ++figure)
            results[size.key()].figures[figure.key()] = {
                median(figure.value()), median(roundFloors[size.key()][figure.key()])};
    }

    // The 1 GiB copies, on the first catalogue (for its export folder).
    QMap<QString, std::pair<double, double>> copyFigures; // ours, cp (ms)
    QMap<QString, double> copyGaps;
    std::pair<qint64, qint64> blocks{-1, -1}; // the sparse copy's, the source's
    if (copies && !sizes.isEmpty()) {
        say(QStringLiteral("copies of 1 GiB files: measuring..."));
        const QString folder = base.filePath(QStringLiteral("catalogue-%1").arg(sizes.front()));
        const QString work = base.filePath(QStringLiteral("big"));
        QDir().mkpath(work);
        if (const auto lines =
                runChild({QStringLiteral("--child-copy"), folder, work, QString::number(runs)})) {
            for (const QString& line : *lines) {
                const QStringList f = line.split(QLatin1Char(' '));
                if (f.value(0) == QLatin1String("copyfig") && f.size() == 4)
                    copyFigures[f[1]] = {f[2].toDouble(), f[3].toDouble()};
                else if (f.value(0) == QLatin1String("copygap") && f.size() == 3)
                    copyGaps[f[1]] = f[2].toDouble();
                else if (f.value(0) == QLatin1String("blocks") && f.size() == 3)
                    blocks = {f[1].toLongLong(), f[2].toLongLong()};
                else
                    say(QStringLiteral("  child: ") + line);
            }
        }
        QDir(work).removeRecursively();
    }

    bool allMet = true;
    auto verdict = [&](bool met) {
        allMet = allMet && met;
        return met ? QStringLiteral("yes") : QStringLiteral("NO");
    };

    say(QString());
    say(cell(QStringLiteral("figure"), 12, true) + cell(QStringLiteral("names"), 8) +
        cell(QStringLiteral("ours ms"), 10) + cell(QStringLiteral("floor ms"), 10) +
        cell(QStringLiteral("ratio"), 8) + QStringLiteral("  ") +
        cell(QStringLiteral("target"), 26, true) + QStringLiteral("met"));
    for (const FigureInfo& info : kFigures) {
        const QString key = QString::fromLatin1(info.key);
        for (int size : sizes) {
            const auto found = results[size].figures.constFind(key);
            if (found == results[size].figures.cend())
                continue;
            const auto [ours, floor] = *found;
            const double ratio = floor > 0 ? ours / floor : 0;
            QString target = QStringLiteral("-");
            QString met = QStringLiteral("-");
            if (size == kReference && info.target > 0) {
                target = QStringLiteral("ratio <= %1").arg(info.target);
                met = verdict(ratio <= info.target);
            } else if (size == kBig && results.contains(kLarge) &&
                       results[kLarge].figures.contains(key)) {
                const double growth = ours / results[kLarge].figures[key].first;
                target = QStringLiteral("x%1 of 100,000 <= %2")
                             .arg(fixed(growth, 2))
                             .arg(kBigGrowthLimit);
                met = verdict(growth <= kBigGrowthLimit);
            } else if (size == kLarge && results.contains(kReference) &&
                       results[kReference].figures.contains(key)) {
                const double growth = ours / results[kReference].figures[key].first;
                target =
                    QStringLiteral("x%1 of 32,767 <= %2").arg(fixed(growth, 2)).arg(kGrowthLimit);
                met = verdict(growth <= kGrowthLimit);
            }
            say(cell(QString::fromLatin1(info.title), 12, true) + cell(QString::number(size), 8) +
                cell(fixed(ours, 2), 10) + cell(fixed(floor, 2), 10) + cell(fixed(ratio, 2), 8) +
                QStringLiteral("  ") + cell(target, 26, true) + met);
        }
    }

    QStringList firstViews;
    for (int size : sizes) {
        if (results[size].firstGameMs >= 0)
            firstViews << QStringLiteral("%1 names %2 ms")
                              .arg(size)
                              .arg(fixed(results[size].firstGameMs, 2));
    }
    if (!firstViews.isEmpty())
        say(QStringLiteral("view a game: %1 views a round; the first of a process (no target): ")
                .arg(runs * kViewsPerRun) +
            firstViews.join(QStringLiteral(", ")));

    say(QString());
    say(QStringLiteral("Longest stretch without event pumping (ms, target <= %1 at %2 names and "
                       "more; start-up: from the first paint until it answers):")
            .arg(kGapLimitMs)
            .arg(kLarge));
    QString header = cell(QStringLiteral("names"), 8);
    for (const auto& gap : kGaps)
        header += cell(QString::fromLatin1(gap.second), 11);
    say(header + QStringLiteral("  met"));
    for (int size : sizes) {
        const SizeResult& r = results[size];
        QString row = cell(QString::number(size), 8);
        double longest = 0;
        bool all = true;
        for (const auto& gap : kGaps) {
            const double ms = r.gaps.value(QString::fromLatin1(gap.first), -1);
            all = all && ms >= 0;
            longest = std::max(longest, ms);
            row += cell(ms < 0 ? QStringLiteral("?") : fixed(ms, 1), 11);
        }
        row += QStringLiteral("  ") +
               (size >= kLarge ? verdict(longest <= kGapLimitMs && all) : QStringLiteral("-"));
        say(row);
    }

    if (copies) {
        say(QString());
        say(QStringLiteral("Copies of a 1 GiB file against cp in the same run (ms; throughput = cp "
                           "time / ours, target >= %1; sparse: time <= %2x cp --sparse=auto):")
                .arg(kCopyThroughput)
                .arg(kSparseTimeLimit));
        say(cell(QStringLiteral("copy"), 14, true) + cell(QStringLiteral("ours ms"), 10) +
            cell(QStringLiteral("cp ms"), 10) + cell(QStringLiteral("through"), 9) +
            cell(QStringLiteral("gap ms"), 8) + QStringLiteral("  met"));
        for (const char* key : {"export", "copy", "sparse"}) {
            const QString k = QString::fromLatin1(key);
            const auto [ours, cp] = copyFigures.value(k, {0.0, 0.0});
            const double through = ours > 0 ? cp / ours : 0;
            const double gap = copyGaps.value(k, -1);
            const bool fast = k == QLatin1String("sparse")
                                  ? ours > 0 && ours <= kSparseTimeLimit * cp
                                  : through >= kCopyThroughput;
            say(cell(k == QLatin1String("sparse") ? QStringLiteral("sparse copy") : k, 14, true) +
                cell(fixed(ours, 1), 10) + cell(fixed(cp, 1), 10) + cell(fixed(through, 2), 9) +
                cell(gap < 0 ? QStringLiteral("?") : fixed(gap, 1), 8) + QStringLiteral("  ") +
                verdict(fast && gap >= 0 && gap <= kGapLimitMs));
        }
        say(QStringLiteral("sparse copy's allocated blocks %1, the source's %2 (<= source): %3")
                .arg(blocks.first)
                .arg(blocks.second)
                .arg(verdict(blocks.first >= 0 && blocks.first <= blocks.second)));
    }

    say(QString());
    if (const auto lines = runChild({QStringLiteral("--child-find"), QString::number(runs)})) {
        const QStringList f = lines->value(0).split(QLatin1Char(' '));
        const double ours = f.value(1).toDouble();
        const double floor = f.value(2).toDouble();
        say(QStringLiteral("Find by name, 100,000 names, per keystroke: ours %1 ms, one contains "
                           "pass %2 ms, ratio %3 (target <= 3 and < 16 ms): %4; first keystroke "
                           "%5 ms")
                .arg(fixed(ours, 2), fixed(floor, 2), fixed(floor > 0 ? ours / floor : 0, 2))
                .arg(verdict(f.size() == 5 && ours <= 3 * floor && ours < 16))
                .arg(fixed(f.value(3).toDouble(), 1)));
    }

    say(QString());
    say(QStringLiteral("Peak resident memory (start-up and each command once, own process):"));
    for (int size : sizes)
        say(cell(QString::number(size), 8) + cell(fixed(results[size].peakMiB, 1), 10) +
            QStringLiteral(" MiB"));
    if (results.contains(1000) && results.contains(kReference) && results.contains(kLarge)) {
        const double low = results[kReference].peakMiB - results[1000].peakMiB;
        const double high = results[kLarge].peakMiB - results[kReference].peakMiB;
        const bool linear = high <= kGrowthLimit * std::max(low, 0.0);
        say(QStringLiteral("growth 1,000->32,767: %1 MiB; 32,767->100,000: %2 MiB (<= %3x): %4")
                .arg(fixed(low, 1), fixed(high, 1))
                .arg(kGrowthLimit)
                .arg(verdict(linear)));
        say(QStringLiteral("peak at 100,000 names < %1 MiB: %2")
                .arg(kPeakLimitMiB)
                .arg(verdict(results[kLarge].peakMiB > 0 &&
                             results[kLarge].peakMiB < kPeakLimitMiB)));
    }
    if (results.contains(kBig))
        say(QStringLiteral("peak at 1,000,000 names < %1 MiB: %2")
                .arg(kBigPeakLimitMiB)
                .arg(verdict(results[kBig].peakMiB > 0 &&
                             results[kBig].peakMiB < kBigPeakLimitMiB)));

    say(QString());
    say(allMet ? QStringLiteral("All targets met.") : QStringLiteral("Some targets were missed."));
    return check && !allMet ? 1 : 0;
}
