// Saves games in a loop on the catalogue in a given folder, as the add and edit windows do,
// until it is killed. After start-up it prints "ready" and waits for a line on its input.
// Before each save it prints "saving <n>", after it "saved <n>", flushed,
// so the test knows what was written before the kill.
//
//   savedriver <app folder> <first save number> <rom file> <image file>

#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "crashnames.h"
#include "platform/appfolder.h"
#include "platform/listbox.h"
#include "store/game_save.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: savedriver <folder> <first> <rom> <image>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vx::setAppFolder(QString::fromLocal8Bit(argv[1]));
    const int first = QByteArray(argv[2]).toInt();
    const QString rom = QString::fromLocal8Bit(argv[3]);
    const QString image = QString::fromLocal8Bit(argv[4]);

    // Start-up as the program does it, until the sweep of stray temporaries after its first paint.
    vx::start();
    const QDeadlineTimer deadline(20000);
    while (vx::main::get().startupPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    // The window is made before "ready", so kills land on saves rather than on its painting.
    vx::mnu_add_rom& window = vx::mnu_add_rom::get();
    window.show();
    QCoreApplication::processEvents();
    std::printf("ready\n");
    std::fflush(stdout);
    // The test looks at the catalogue after start-up, then lets the saves begin.
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 1;

    for (int n = first;; ++n) {
        const vx::GameEntry entry = vx::crash::entryFor(n, rom, image);
        std::printf("saving %d\n", n);
        std::fflush(stdout);
        window.show();
        if (vx::saveGame(entry, *window.List1, window) != vx::SaveOutcome::Saved) {
            std::printf("failed %d\n", n);
            std::fflush(stdout);
            return 1;
        }
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
