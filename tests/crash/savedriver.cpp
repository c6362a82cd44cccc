// Writes to the catalogue in a given folder in a loop, as the program's windows do, until it is
// killed. After start-up it prints "ready" and waits for a line on its input. Before each write it
// prints what it begins ("saving <n>", "clearing", "storing <n>"), after it what it finished
// ("saved <n>", "cleared", "stored <n>"), flushed, so the test knows what was written before the
// kill.
//
//   savedriver <app folder> <first save number> <rom file> <image file> [mode]
//
// Modes: "saves" (the default) saves games in turn; "clears" saves a game, then clears the index
// from the options window, and again; "options" stores an export folder with the options window's
// OK; "batch:<count>" saves <count> games with names of their own, prints "done" and ends;
// "setup" is "saves" with waits twenty times shorter, so a first run's setup takes half a second;
// "quit" starts decoding the image in a few picture boxes and ends as the program does; "copy"
// copies the rom to the image's path through a named temporary, prints "copying" after its first
// piece and waits there to be killed. A mode ending in "+slow" holds every write 20 ms on the
// thread that writes it.

#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "core/appfolder.h"
#include "core/clock.h"
#include "core/copytemporary.h"
#include "core/filecopy.h"
#include "core/gamesave.h"
#include "core/textfile.h"
#include "crashnames.h"
#include "setup/mnu_options.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

class FastClock final : public vx::Clock
{
public:
    FastClock() { m_timer.start(); }
    double secondsSinceMidnight() override { return 0; }
    double elapsedSeconds() override { return m_timer.nsecsElapsed() / 1e9 * 20; }
    void idle() override { QThread::msleep(1); }

private:
    QElapsedTimer m_timer;
};

void say(const char* what, int n = -1)
{
    if (n >= 0)
        std::printf("%s %d\n", what, n);
    else
        std::printf("%s\n", what);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: savedriver <folder> <first> <rom> <image> [mode]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vx::setAppFolder(QString::fromLocal8Bit(argv[1]));
    const int first = QByteArray(argv[2]).toInt();
    const QString rom = QString::fromLocal8Bit(argv[3]);
    const QString image = QString::fromLocal8Bit(argv[4]);
    QByteArray mode = argc == 6 ? QByteArray(argv[5]) : QByteArray("saves");
    // Each write lingers on its thread, so kills land there more often than not.
    if (mode.endsWith("+slow")) {
        mode.chop(5);
        vx::beforeWriteForTests([](const QString&) { QThread::msleep(20); });
    }
    FastClock fast;
    if (mode == "setup")
        vx::setClock(&fast);
    vx::dialogs::setScripted(true);

    // Start-up as the program does it, until the sweep of stray temporaries after its first paint.
    vx::start();
    const QDeadlineTimer deadline(20000);
    while (vx::main::get().startupPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    vx::waitForCopyTemporarySweeps(20000);
    // The windows are made before "ready", so kills land on writes rather than on their painting.
    vx::mnu_add_rom& window = vx::mnu_add_rom::get();
    window.show();
    vx::mnu_options& options = vx::mnu_options::get();
    QCoreApplication::processEvents();
    say("ready");
    // The test looks at the catalogue after start-up, then lets the writes begin.
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 1;

    if (mode == "quit") {
        std::vector<std::unique_ptr<vx::ImageBox>> boxes;
        for (int n = 0; n < 1000; ++n) {
            boxes.push_back(std::make_unique<vx::ImageBox>(QStringLiteral("Image1"), nullptr));
            boxes.back()->resize(400, 300);
            boxes.back()->loadPicture(image);
        }
        say("done");
        return vx::finish(0);
    }

    if (mode == "copy") {
        vx::setCopyTemporaryNamed(true);
        vx::setCopyPieceHook(
            [] {
                say("copying");
                for (;;)
                    QThread::sleep(1);
            },
            64 << 10);
        vx::copyFileReplacing(rom, image);
        return 1;
    }

    const bool batch = mode.startsWith("batch:");
    const int last = batch ? first + mode.mid(6).toInt() : -1;
    for (int n = first; n != last; ++n) {
        if (mode == "options") {
            say("storing", n);
            options.show();
            options.Text1->setText(vx::crash::folderFor(n));
            options.cmd_ok_Click();
            say("stored", n);
            continue;
        }
        const vx::GameEntry entry =
            batch ? vx::crash::batchEntryFor(n, rom, image) : vx::crash::entryFor(n, rom, image);
        say("saving", n);
        window.show();
        if (vx::saveGame(entry).outcome != vx::SaveOutcome::Saved) {
            say("failed", n);
            return 1;
        }
        say("saved", n);
        if (mode == "clears") {
            say("clearing");
            vx::dialogs::queueAnswer(QMessageBox::Yes);
            options.cmd_clear_Click();
            say("cleared");
        }
    }
    say("done");
    return 0;
}
