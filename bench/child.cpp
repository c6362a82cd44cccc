#include "bench/child.h"

#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "bench/pumpprobe.h"
#include "browser/mnu_list.h"
#include "core/appfolder.h"
#include "core/catalogue.h"
#include "core/datfile.h"
#include "core/romsums.h"
#include "core/verifier.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "ui/listbox.h"
#include "ui/units.h"
#include "ui/vx_modules.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace vxbench
{

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

namespace
{

double msSince(qint64 startNs)
{
    return double(monotonicNs() - startNs) / 1e6;
}

// Delivered at the first event-loop turn after it is posted: for a handler that fills the
// detail view and then starts pumping, that is the moment the view is filled.
class TurnMarker : public QObject
{
public:
    qint64 at = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User) {
            if (!at)
                at = monotonicNs();
            return true;
        }
        return QObject::event(event);
    }
};

// Notes the first paint of the window named "main" (the hub, or the floor's bare window). The
// moment is marked by an event posted as that paint begins: it is delivered once the paint is
// done and flushed, ahead of anything the paint posts itself, so work a window leaves for after
// its first paint is not counted, while work it does before or during that paint is.
class PaintWatch : public QObject
{
public:
    bool painted() const { return m_marker.at != 0; }
    qint64 paintedAt() const { return m_marker.at; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_posted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            watched->objectName() == QLatin1String("main") &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_posted = true;
            QCoreApplication::postEvent(&m_marker, new QEvent(QEvent::User));
        }
        return false;
    }

private:
    TurnMarker m_marker;
    bool m_posted = false;
};

// Runs the event loop until the hub has painted itself once.
bool waitForFirstPaint(PaintWatch& watch)
{
    const QDeadlineTimer deadline(60000);
    while (!watch.painted() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return watch.painted();
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QStringList indexLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromLocal8Bit(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// The floor of the list commands: read the index, one addItems into a hidden stock item list,
// show it.
class ListFloor
{
public:
    explicit ListFloor(const QWidget& like)
    {
        m_list.setObjectName(QStringLiteral("floor"));
        m_list.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
        m_list.resize(like.size());
        m_list.setFont(like.font());
        m_list.setUniformItemSizes(true);
    }
    double run()
    {
        m_list.hide();
        m_list.clear();
        settle();
        const qint64 start = monotonicNs();
        QFile file(vx::catalogue::indexPath());
        file.open(QIODevice::ReadOnly);
        m_list.addItems(indexLines(file.readAll()));
        m_list.show();
        QCoreApplication::processEvents();
        const double ms = msSince(start);
        m_list.hide();
        return ms;
    }

private:
    QListWidget m_list;
};

// The floor of the saves: read the index and write it back once, atomically.
double saveFloor()
{
    const qint64 start = monotonicNs();
    QFile in(vx::catalogue::indexPath());
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    in.close();
    QSaveFile out(vx::catalogue::indexPath());
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.commit();
    return msSince(start);
}

template <typename F> double timed(F&& command)
{
    const qint64 start = monotonicNs();
    command();
    QCoreApplication::processEvents();
    return msSince(start);
}

void chooseFirst(QComboBox& combo)
{
    if (combo.count() > 0)
        combo.setCurrentIndex(0);
    else
        combo.setEditText(QStringLiteral("US"));
}

struct Commands {
    vx::main& hub = vx::main::get();
    vx::mnu_list& browser = vx::mnu_list::get();
    vx::edit_rom_list& picker = vx::edit_rom_list::get();
    QString romPath;
    QString imagePath;
    int added = 0;

    void viewRom() { hub.Label8_Click(); }
    void closeBrowser() { browser.Label2_Click(); }
    void editRom() { hub.Label5_Click(); }

    // Selects an entry of the browser as the first click of a double click would.
    void selectInBrowser(int row)
    {
        vx::ListBox& list = *browser.rom_list;
        list.setCurrentRow(std::min(row, list.count() - 1));
        settle();
    }
    void viewGame() { browser.rom_list_DblClick(); }

    // The add window opened and filled in with a new game.
    void prepareAdd()
    {
        hub.Label4_Click();
        vx::mnu_add_rom& add = vx::mnu_add_rom::get();
        add.Text1->setText(QStringLiteral("Bench Added Game %1 (U)").arg(++added));
        add.Text2->setText(romPath);
        add.Text3->setText(imagePath);
        chooseFirst(*add.Combo1);
        chooseFirst(*add.Combo2);
        add.Text4->setPlainText(QStringLiteral("Added while measuring."));
        settle();
    }
    void addSave() { vx::mnu_add_rom::get().Picture5_MouseDown(); }

    // The picker opened and an entry chosen, which opens the edit window on it.
    void prepareEdit(int pass)
    {
        hub.Label5_Click();
        settle();
        vx::ListBox& list = *picker.rom_list;
        list.setCurrentRow(std::min(1 + pass, list.count() - 1));
        settle();
        vx::mnu_edit_rom& editor = vx::mnu_edit_rom::get();
        editor.Text4->setPlainText(QStringLiteral("Edited while measuring, pass %1.").arg(pass));
        settle();
    }
    void editSave() { vx::mnu_edit_rom::get().Picture3_Click(); }

    void exportRom() { hub.Label7_Click(); }
};

void printLine(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

// Starts the program on the catalogue in `folder` and waits until the hub has been painted.
bool startHub(QApplication& app, const QString& folder)
{
    PaintWatch watch;
    app.installEventFilter(&watch);
    vx::setAppFolder(folder);
    vx::start();
    const bool painted = waitForFirstPaint(watch);
    app.removeEventFilter(&watch);
    // What start-up leaves for after the first paint is not charged to the first command timed.
    const QDeadlineTimer deadline(60000);
    while (vx::main::get().startupPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return painted;
}

int childStartup(int& argc, char** argv, const QString& folder)
{
    QApplication app(argc, argv);
    PaintWatch watch;
    app.installEventFilter(&watch);
    vx::setAppFolder(folder);
    vx::start();
    if (!waitForFirstPaint(watch))
        return 2;
    printLine(QStringLiteral("exposed %1").arg(watch.paintedAt()));
    // Then until what start-up leaves for after the first paint is done and the next turn of
    // the event loop comes: from then on a command is served at once.
    PumpProbe probe;
    probe.start();
    const QDeadlineTimer deadline(120000);
    while (vx::main::get().startupPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    TurnMarker marker;
    QCoreApplication::postEvent(&marker, new QEvent(QEvent::User));
    while (!marker.at)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const double gap = probe.stop();
    printLine(QStringLiteral("interactive %1").arg(marker.at));
    printLine(QStringLiteral("startgap %1").arg(gap, 0, 'f', 3));
    return vx::finish(0);
}

int childStartupFloor(int& argc, char** argv)
{
    QApplication app(argc, argv);
    PaintWatch watch;
    app.installEventFilter(&watch);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setObjectName(QStringLiteral("main"));
    window.resize(vx::twipsToPixels(10620), vx::twipsToPixels(5220));
    // One line of text: any window that shows words pays for its fonts.
    QLabel line(QStringLiteral("View ROM"), &window);
    window.show();
    if (!waitForFirstPaint(watch))
        return 2;
    printLine(QStringLiteral("exposed %1").arg(watch.paintedAt()));
    return 0;
}

namespace
{

// A DAT listing the bench's ROM put in force, and its verdict made once, so each view of a game
// below shows a cached verdict as a collector's second view does. False when that failed.
bool verdictCached(const QString& folder, const QString& romPath)
{
    const auto sums = vx::romsums::ofFile(romPath);
    if (!sums)
        return false;
    const QString datPath = folder + QStringLiteral("/bench.dat");
    QFile dat(datPath);
    if (!dat.open(QIODevice::WriteOnly))
        return false;
    dat.write("<?xml version=\"1.0\"?>\n<datafile>\n<game name=\"Bench Game (Europe)\">\n<rom "
              "name=\"bench.z64\" size=\"" +
              QByteArray::number(sums->size) + "\" crc=\"" +
              QByteArray::number(sums->crc32, 16).rightJustified(8, '0') + "\" md5=\"" +
              sums->md5.toHex() + "\" sha1=\"" + sums->sha1.toHex() +
              "\"/>\n</game>\n</datafile>\n");
    dat.close();
    const vx::datfile::Loaded loaded = vx::datfile::load(datPath);
    if (!loaded.dat)
        return false;
    vx::Verifier& verifier = vx::Verifier::get();
    verifier.useDat(loaded.dat, datPath);
    if (verifier.verdict(romPath))
        return true;
    QEventLoop wait;
    QObject::connect(&verifier, &vx::Verifier::verdictReady, &wait, &QEventLoop::quit);
    QTimer::singleShot(20000, &wait, &QEventLoop::quit);
    wait.exec();
    const auto verdict = verifier.verdict(romPath);
    return verdict && verdict->kind == vx::Verdict::Kind::Verified;
}

} // namespace

int childMeasure(int& argc, char** argv, const QString& folder, const QString& romPath,
                 const QString& imagePath, int runs)
{
    QApplication app(argc, argv);
    if (!startHub(app, folder))
        return 2;
    Commands c;
    c.romPath = romPath;
    c.imagePath = imagePath;
    QMap<QString, std::vector<double>> ours;
    QMap<QString, std::vector<double>> floors;
    QMap<QString, double> gaps;
    PumpProbe probe;

    ListFloor listFloor(*c.browser.rom_list);
    // VXBENCH_ONLY=view,addsave limits a run to some figures (for profiling).
    const QStringList only =
        qEnvironmentVariable("VXBENCH_ONLY").split(QLatin1Char(','), Qt::SkipEmptyParts);
    auto wanted = [&](const char* key) {
        return only.isEmpty() || only.contains(QLatin1String(key));
    };

    // View ROM, each time from a closed browser, as after its Cancel.
    for (int r = 0; wanted("view") && r < runs; ++r) {
        c.closeBrowser();
        settle();
        ours[QStringLiteral("view")].push_back(timed([&] { c.viewRom(); }));
        floors[QStringLiteral("view")].push_back(listFloor.run());
    }
    c.closeBrowser();
    settle();
    probe.start();
    c.viewRom();
    QCoreApplication::processEvents();
    gaps[QStringLiteral("view")] = probe.stop();

    for (int r = 0; wanted("edit") && r < runs; ++r) {
        c.picker.hide();
        settle();
        ours[QStringLiteral("edit")].push_back(timed([&] { c.editRom(); }));
        floors[QStringLiteral("edit")].push_back(listFloor.run());
    }
    c.picker.hide();
    settle();
    probe.start();
    c.editRom();
    QCoreApplication::processEvents();
    gaps[QStringLiteral("edit")] = probe.stop();
    c.picker.hide();

    // A game viewed: the browser's double click until the detail view is filled (the slide
    // that follows is not counted). A few views would be the session's first ones, which also
    // load the title font's glyphs and start the picture decoder's threads: the median is over
    // many views, and the first one is reported on its own.
    c.viewRom();
    settle();
    if (wanted("game") && !verdictCached(folder, romPath))
        printLine(QStringLiteral("warning no cached verdict for the viewed games"));
    for (int r = 0; wanted("game") && r < runs * kViewsPerRun; ++r) {
        const int row =
            int((quint64(r) * 7919u) % quint64(std::max(1, c.browser.rom_list->count())));
        c.selectInBrowser(row);
        TurnMarker marker;
        QCoreApplication::postEvent(&marker, new QEvent(QEvent::User));
        const qint64 start = monotonicNs();
        c.viewGame();
        const qint64 end = marker.at ? marker.at : monotonicNs();
        ours[QStringLiteral("game")].push_back(double(end - start) / 1e6);
        if (r == 0)
            printLine(QStringLiteral("first game %1").arg(double(end - start) / 1e6, 0, 'f', 4));
        settle();

        // The floor: the record read and parsed by the program's own reader.
        const QString record = vx::catalogue::recordPath(c.hub.viewedGame()->title);
        const qint64 floorStart = monotonicNs();
        const vx::catalogue::Record read = vx::catalogue::readRecord(record);
        floors[QStringLiteral("game")].push_back(msSince(floorStart));
        if (read.file.isEmpty())
            printLine(QStringLiteral("warning the viewed record has no ROM path"));
    }

    // Export ROM of the game just viewed, against cp into the same folder.
    const QString exportFolder = vx::catalogue::exportFolder();
    const QString exported =
        exportFolder + QLatin1Char('/') + vx::VX_modules::file_name_of(romPath);
    for (int r = 0; wanted("export") && r < runs; ++r) {
        QFile::remove(exported);
        settle();
        ours[QStringLiteral("export")].push_back(timed([&] { c.exportRom(); }));
        if (!QFile::exists(exported))
            printLine(QStringLiteral("warning export wrote nothing"));
        QFile::remove(exported);
        const qint64 start = monotonicNs();
        QProcess::execute(QStringLiteral("cp"), {romPath, exportFolder + QLatin1Char('/')});
        floors[QStringLiteral("export")].push_back(msSince(start));
    }
    QFile::remove(exported);

    for (int r = 0; wanted("addsave") && r < runs; ++r) {
        c.prepareAdd();
        ours[QStringLiteral("addsave")].push_back(timed([&] { c.addSave(); }));
        floors[QStringLiteral("addsave")].push_back(saveFloor());
    }
    c.prepareAdd();
    probe.start();
    c.addSave();
    QCoreApplication::processEvents();
    gaps[QStringLiteral("addsave")] = probe.stop();

    for (int r = 0; wanted("editsave") && r < runs; ++r) {
        c.prepareEdit(r);
        ours[QStringLiteral("editsave")].push_back(timed([&] { c.editSave(); }));
        floors[QStringLiteral("editsave")].push_back(saveFloor());
    }
    c.prepareEdit(runs);
    probe.start();
    c.editSave();
    QCoreApplication::processEvents();
    gaps[QStringLiteral("editsave")] = probe.stop();

    for (auto it = ours.cbegin(); it != ours.cend(); ++it)
        printLine(QStringLiteral("figure %1 %2 %3")
                      .arg(it.key())
                      .arg(median(it.value()), 0, 'f', 4)
                      .arg(median(floors.value(it.key())), 0, 'f', 4));
    for (auto it = gaps.cbegin(); it != gaps.cend(); ++it)
        printLine(QStringLiteral("gap %1 %2").arg(it.key()).arg(it.value(), 0, 'f', 3));
    return vx::finish(0);
}

int childMemory(int& argc, char** argv, const QString& folder, const QString& romPath,
                const QString& imagePath)
{
    QApplication app(argc, argv);
    if (!startHub(app, folder))
        return 2;
    Commands c;
    c.romPath = romPath;
    c.imagePath = imagePath;
    c.viewRom();
    settle();
    c.selectInBrowser(1);
    c.viewGame();
    settle();
    c.editRom();
    settle();
    c.picker.hide();
    c.prepareAdd();
    c.addSave();
    settle();
    c.prepareEdit(0);
    c.editSave();
    settle();
    c.exportRom();
    settle();
    QFile::remove(vx::catalogue::exportFolder() + QLatin1Char('/') +
                  vx::VX_modules::file_name_of(romPath));
    printLine(QStringLiteral("peak %1").arg(peakResidentKb()));
    return vx::finish(0);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace vxbench
