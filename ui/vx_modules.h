#pragma once

#include "core/gamesave.h"

#include <QList>
#include <QString>

namespace vx
{
class ListBox;
}

// Notices, file names and list tidying.
namespace vx::VX_modules
{

// Shows the notice window with its two lines, placed by the notice rule and kept on top.
void show_notice(const QString& upper, const QString& lower);

// Shows each notice in turn; the last stays.
void show_notices(const QList<Notice>& notices);

// The part of a path after its last separator ('\' or '/').
QString file_name_of(const QString& path);

// Keeps the first of every repeated text, in order.
void remove_duplicates(ListBox& list);

} // namespace vx::VX_modules
