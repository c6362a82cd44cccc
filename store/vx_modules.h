#pragma once

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

// The part of a path after its last separator ('\' or '/').
QString file_name_of(const QString& path);

// Keeps the first of every repeated text, in order.
void remove_duplicates(ListBox& list);

} // namespace vx::VX_modules
