#include "app/start.h"
#include "ui/session.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    vx::preferPlacedWindows();
    QApplication app(argc, argv);
    vx::start();
    return vx::finish(app.exec());
}
