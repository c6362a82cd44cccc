#pragma once

#include "ui/form.h"
#include "ui/listbox.h"

namespace vx
{

// The record picker: every line of the index, as loaded; choosing one opens it for editing.
class edit_rom_list : public Form
{
    Q_OBJECT

public:
    static edit_rom_list& get();
    edit_rom_list();

    ListBox* rom_list;
    Label* Label1;
    Label* Label2;

    // Empties the list and reads the index at `path` into it, serving events as a long fill
    // does; false when the index could not be read.
    bool readIndex(const QString& path);
    // On top, with the list focused.
    void showIndex();

    // Runs for the entry the user selected, by mouse or keyboard.
    void rom_list_Click();
    void Label2_Click();

signals:
    // The chosen game is in the edit window, for the hub to show beside it.
    void gameOpened();

private:
    bool m_choosing = false;
};

} // namespace vx
