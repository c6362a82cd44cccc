// The saves on slow storage: how long the windows go unanswered while an add save, an edit save,
// a rename, a removal from the browser, the options window's OK and its Clear write a large
// catalogue. bench/slowdisk runs it on a
// throttled loop device.
//
//   vexloutil_slowsave make <folder> [--names N]   writes a catalogue of N names (default 100,000)
//   vexloutil_slowsave measure <folder> [--runs N] each write N times (default 5), the longest
//                                                  unanswered stretch and the time of each
//
// Prints "run <figure> <longest stretch ms> <time ms> <windows' thread CPU ms>" for every run (the
// last is the windows' own work, which a loaded machine does not inflate), then "slowsave <figure>
// <longest stretch ms> <time ms>" for the worst run of each, and a line of its own for the target.

#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "bench/catalogue_gen.h"
#include "bench/child.h"
#include "bench/pumpprobe.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "core/textfile.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_options.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace
{

constexpr double kTargetMs = 50;

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void chooseFirst(QComboBox& combo)
{
    if (combo.count() > 0)
        combo.setCurrentIndex(0);
    else
        combo.setEditText(QStringLiteral("US"));
}

struct Worst {
    double stretchMs = 0;
    double timeMs = 0;
};

// The CPU time this thread has used.
qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Runs `write` with the pump probe on; the worst of the runs is kept.
void measure(const char* figure, Worst& worst, const std::function<void()>& write)
{
    vxbench::PumpProbe probe;
    const qint64 start = vxbench::monotonicNs();
    const qint64 cpuStart = threadCpuNs();
    probe.start();
    write();
    QCoreApplication::processEvents();
    const double stretchMs = probe.stop();
    const double cpuMs = double(threadCpuNs() - cpuStart) / 1e6;
    const double timeMs = double(vxbench::monotonicNs() - start) / 1e6;
    std::printf("run %s %.1f %.1f %.1f\n", figure, stretchMs, timeMs, cpuMs);
    worst.stretchMs = std::max(worst.stretchMs, stretchMs);
    worst.timeMs = std::max(worst.timeMs, timeMs);
}

int make(const QString& folder, int names)
{
    const QString rom = folder + QStringLiteral("/roms/Cartridge Dump.v64");
    const QString image = folder + QStringLiteral("/pictures/box art.png");
    QDir().mkpath(folder + QStringLiteral("/roms"));
    QDir().mkpath(folder + QStringLiteral("/pictures"));
    if (!vxbench::makeRom(rom, 1 << 20) || !vxbench::makePicture(image))
        return 2;
    vxbench::makeCatalogue(folder + QStringLiteral("/catalogue"), names, rom, image);
    return 0;
}

int measureSaves(QApplication& app, const QString& folder, int runs)
{
    const QString rom = folder + QStringLiteral("/roms/Cartridge Dump.v64");
    const QString image = folder + QStringLiteral("/pictures/box art.png");
    if (!vxbench::startHub(app, folder + QStringLiteral("/catalogue")))
        return 2;
    vx::dialogs::setScripted(true);
    vx::main& hub = vx::main::get();
    Worst add;
    Worst edit;
    Worst renamed;
    Worst removed;
    Worst options;
    Worst clear;
    for (int r = 0; r < runs; ++r) {
        hub.Label4_Click();
        vx::mnu_add_rom& adder = vx::mnu_add_rom::get();
        adder.Text1->setText(QStringLiteral("Slow Disk Game %1 (U)").arg(r + 1));
        adder.Text2->setText(rom);
        adder.Text3->setText(image);
        chooseFirst(*adder.Combo1);
        chooseFirst(*adder.Combo2);
        adder.Text4->setPlainText(QStringLiteral("Added on a slow disk."));
        settle();
        measure("addsave", add, [&] { adder.Picture5_MouseDown(); });

        hub.Label5_Click();
        settle();
        vx::ListBox& list = *vx::edit_rom_list::get().rom_list;
        list.setCurrentRow(std::min(1 + r, list.count() - 1));
        settle();
        vx::mnu_edit_rom& editor = vx::mnu_edit_rom::get();
        editor.Text4->setPlainText(QStringLiteral("Edited on a slow disk, pass %1.").arg(r));
        settle();
        measure("editsave", edit, [&] { editor.Picture3_Click(); });

        hub.Label5_Click();
        settle();
        list.setCurrentRow(std::min(2 + r, list.count() - 1));
        settle();
        editor.Text1->setText(QStringLiteral("Slow Disk Renamed %1 (U)").arg(r + 1));
        measure("rename", renamed, [&] { editor.Picture3_Click(); });

        hub.Label8_Click();
        settle();
        vx::mnu_list& browser = vx::mnu_list::get();
        browser.rom_list->setCurrentRow(std::min(3 + r, browser.rom_list->count() - 1));
        settle();
        vx::dialogs::queueAnswer(QMessageBox::Yes);
        measure("remove", removed, [&] { browser.removeCurrent(); });
        browser.Label2_Click();

        hub.Label11_Click();
        settle();
        vx::mnu_options& setup = vx::mnu_options::get();
        setup.Text1->setText(folder + QStringLiteral("/export-%1").arg(r));
        measure("optionsok", options, [&] { setup.cmd_ok_Click(); });
    }
    // Last, and the index put back after it, so the next measure finds the catalogue it made.
    const QString indexPath = vx::catalogue::indexPath();
    const std::optional<QByteArray> index = vx::readWholeFile(indexPath);
    hub.Label11_Click();
    settle();
    vx::mnu_options& setup = vx::mnu_options::get();
    vx::dialogs::queueAnswer(QMessageBox::Yes);
    measure("clear", clear, [&] { setup.cmd_clear_Click(); });
    setup.cmd_cancel_Click();
    if (index)
        vx::replaceFile(indexPath, *index);

    const auto print = [](const char* figure, const Worst& w) {
        std::printf("slowsave %s %.1f %.1f\n", figure, w.stretchMs, w.timeMs);
    };
    print("addsave", add);
    print("editsave", edit);
    print("rename", renamed);
    print("remove", removed);
    print("optionsok", options);
    print("clear", clear);
    const double worst = std::max({add.stretchMs, edit.stretchMs, renamed.stretchMs,
                                   removed.stretchMs, options.stretchMs, clear.stretchMs});
    std::printf("target longest stretch <= %.0f ms: %s\n", kTargetMs,
                worst <= kTargetMs ? "met" : "missed");
    std::fflush(stdout);
    return vx::finish(worst <= kTargetMs ? 0 : 1);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int names = 100000;
    int runs = 5;
    for (int i = 3; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--names"))
            names = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
    }
    if (args.size() >= 3 && args[1] == QLatin1String("make"))
        return make(args[2], names);
    if (args.size() >= 3 && args[1] == QLatin1String("measure"))
        return measureSaves(app, args[2], runs);
    std::fprintf(stderr,
                 "usage: vexloutil_slowsave make|measure <folder> [--names N] [--runs N]\n");
    return 2;
}
