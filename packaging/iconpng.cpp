// Renders the application icon to PNG files for the hicolor theme: iconpng OUTDIR SIZE...
// writes OUTDIR/<size>x<size>/apps/vexloutil.png for each size.
#include "art/art.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: iconpng OUTDIR SIZE...\n");
        return 2;
    }
    for (int i = 2; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            vx::art::appIcon()->paint(painter, QRectF(0, 0, size, size));
        }
        if (size <= 0 || !QDir().mkpath(folder) ||
            !image.save(folder + QStringLiteral("/vexloutil.png"))) {
            std::fprintf(stderr, "iconpng: cannot write the %s icon\n", qPrintable(args.at(i)));
            return 1;
        }
    }
    return 0;
}
