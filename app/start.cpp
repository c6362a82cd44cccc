#include "app/start.h"

#include "app/vx_main.h"
#include "art/art.h"
#include "platform/memory.h"
#include "platform/pictureicon.h"

#include <QApplication>

namespace vx
{

void start()
{
    keepFreedMemoryForReuse();
    QApplication::setApplicationName(QStringLiteral("Vexloutil"));
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(pictureIcon(art::appIcon()));
    main& hub = main::get();
    hub.show();
}

} // namespace vx
