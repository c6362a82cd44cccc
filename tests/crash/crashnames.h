#pragma once

// What the crash driver saves at step n, shared with the test that checks the catalogue.

#include "core/gamesave.h"

#include <QString>

namespace vx::crash
{

// Forty names in turn: the first forty saves add games, every later one saves an existing game
// again, as an edit does. Some names need quoting in the index, some are beyond ASCII.
inline QString nameFor(int n)
{
    const int game = n % 40;
    switch (game % 5) {
    case 0:
        return QStringLiteral("game %1").arg(game);
    case 1:
        return QStringLiteral(" padded %1 ").arg(game);
    case 2:
        return QStringLiteral("comma, %1").arg(game);
    case 3:
        return QStringLiteral("日本語 é ß %1").arg(game);
    default:
        return QStringLiteral("'quote' %1 🎮").arg(game);
    }
}

// The save's size and description both carry n, so a record mixing two saves shows.
inline GameEntry entryFor(int n, const QString& rom, const QString& image)
{
    return {nameFor(n), rom, image, QStringLiteral("Type %1").arg(n), QString::number(n % 30000),
            QStringLiteral("Description of save %1\nsecond line %1").arg(n),
            // Saved again over the game of its name, as an add the user let replace it.
            QString(), true};
}

// A game of its own for every n, for copies of the driver saving side by side.
inline GameEntry batchEntryFor(int n, const QString& rom, const QString& image)
{
    return {QStringLiteral("batch %1").arg(n),
            rom,
            image,
            QStringLiteral("US"),
            QString::number(n % 30000),
            QStringLiteral("Batch save %1").arg(n)};
}

// The export folder the options driver stores at step n.
inline QString folderFor(int n)
{
    return QStringLiteral("/exports/folder %1").arg(n);
}

} // namespace vx::crash
