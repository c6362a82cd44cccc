#include "app/start.h"

#include "app/vx_main.h"
#include "art/art.h"

#include <QApplication>
#include <QIcon>

namespace vx
{

void start()
{
    QApplication::setApplicationName(QStringLiteral("Vexloutil"));
    if (QApplication::windowIcon().isNull()) {
        QIcon icon;
        for (int size : {16, 32, 48, 64, 128, 256})
            icon.addPixmap(art::appIcon()->toPixmap(QSize(size, size)));
        QApplication::setWindowIcon(icon);
    }
    main& hub = main::get();
    hub.show();
}

} // namespace vx
