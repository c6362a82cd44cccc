#include "app/start.h"

#include "app/vx_main.h"
#include "art/art.h"
#include "ui/pictureicon.h"

#include <QApplication>

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

} // namespace vx
