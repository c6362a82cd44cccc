#include "app/start.h"

#include "app/vx_main.h"
#include "art/art.h"
#include "store/catalogue.h"

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
    // A rewrite cut short by a crash or power loss leaves its temporary; the file it was
    // replacing is whole, so the temporary is only clutter.
    catalogue::removeStrayTemporaries();
    main& hub = main::get();
    hub.show();
}

} // namespace vx
