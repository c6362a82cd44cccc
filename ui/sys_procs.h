#pragma once

#include "core/textlist.h"

#include <QString>

namespace vx
{
class Form;
class ListBox;
} // namespace vx

// File, list, profile, timing and window procedures every window uses.
namespace vx::sys_procs
{

// Whether `path` (wildcards allowed in its last part) names a normal, non-hidden file.
bool file_exists(const QString& path);

// Replaces the file with `text` and one line end. False when it could not be written; the old
// file is then unchanged.
bool write_text_file(const QString& text, const QString& path);

// Appends every field of the file to the list, keeping the windows alive while it reads.
// A missing file adds nothing. False, adding nothing, when the file is there but cannot be read.
bool load_list(const QString& path, ListBox& list);

// Waits about `seconds`, handling window events meanwhile.
void pause(int seconds);

// Moves the window off the left edge of the screen, 300 twips a step, then hides it.
void slide_out_left(Form& window);

// Appends in one step, then serves the event loop as a fill of the list always has.
void appendItems(ListBox& list, const TextList& items);

} // namespace vx::sys_procs
