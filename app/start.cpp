#include "app/start.h"

#include "app/startupreading.h"
#include "app/vx_main.h"
#include "art/art.h"
#include "core/copytemporary.h"
#include "ui/controls.h"
#include "ui/pictureicon.h"

#include <QApplication>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>

namespace vx
{

void start()
{
    QApplication::setApplicationName(QStringLiteral("Vexloutil"));
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(pictureIcon(art::appIcon()));
    main& hub = main::get();
    hub.show();
}

int finish(int code)
{
    // A decode left running would go on reading with what the application tears down on its
    // way out, and crash the program as it ends. Every window is closed and every write done
    // by now, so one that will not finish is left behind rather than waited for.
    constexpr int kDecodeWaitMs = 2000;
    // The same for a look for dead copies' temporaries in a slow export folder, and for
    // start-up's reading of the catalogue's folders when the program ends at once.
    if (ImageBox::stopDecodes(kDecodeWaitMs) && waitForCopyTemporarySweeps(kDecodeWaitMs) &&
        startupReadings().waitForDone(kDecodeWaitMs))
        return code;
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace vx
