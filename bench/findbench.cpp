// Finding by name: the browser's list of 100,000 names filtered at each keystroke of a typed
// part, against one pass of QString::contains (case aside) over the same names.

#include "bench/child.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace vxbench
{

namespace
{

constexpr int kNames = 100000;

QStringList names()
{
    const QStringList words{QStringLiteral("Mystic"),    QStringLiteral("Golf"),
                            QStringLiteral("Pokémon"),   QStringLiteral("Racing"),
                            QStringLiteral("Stadium"),   QStringLiteral("Légende"),
                            QStringLiteral("Kart"),      QStringLiteral("Tennis"),
                            QStringLiteral("Adventure"), QStringLiteral("Zoë")};
    QStringList all;
    all.reserve(kNames);
    for (int i = 0; i < kNames; ++i)
        all << words[i % 10] + QLatin1Char(' ') + words[(i / 10) % 10] +
                   QStringLiteral(" (USA) %1").arg(i);
    return all;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int childFind(int& argc, char** argv, int runs)
{
    QApplication app(argc, argv);
    const QStringList all = names();
    // Keystrokes typing a part and taking it back, each filtering all the names again.
    const QStringList parts{QStringLiteral("p"),     QStringLiteral("po"),
                            QStringLiteral("pok"),   QStringLiteral("poke"),
                            QStringLiteral("pokem"), QStringLiteral("pokemo"),
                            QStringLiteral("pokem"), QStringLiteral("poke")};

    vx::ListBox list;
    list.resize(300, 400);
    list.addItems(vx::TextList(all));
    list.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    list.setFilter(QStringLiteral("x"));
    list.count();
    const double first = msSince(timer); // folds every name once
    list.setFilter(QString());

    std::vector<double> ours;
    std::vector<double> floors;
    int sink = 0;
    for (int r = 0; r < runs; ++r) {
        for (const QString& part : parts) {
            timer.restart();
            list.setFilter(part);
            sink += list.count();
            list.viewport()->repaint();
            ours.push_back(msSince(timer));

            timer.restart();
            int found = 0;
            for (const QString& name : all)
                found += name.contains(part, Qt::CaseInsensitive) ? 1 : 0;
            sink += found;
            floors.push_back(msSince(timer));
        }
        list.setFilter(QString());
    }
    std::printf("findfig %.3f %.3f %.3f %d\n", median(ours), median(floors), first, sink > 0);
    return 0;
}

} // namespace vxbench
