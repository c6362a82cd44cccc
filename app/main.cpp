#include "app/start.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vx::start();
    return app.exec();
}
