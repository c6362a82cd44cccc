#pragma once

#include "ui/listwindow.h"

namespace vx
{

// The record picker: every line of the index, as loaded; choosing one opens it for editing.
class edit_rom_list : public ListWindow
{
    Q_OBJECT

public:
    static edit_rom_list& get();
    edit_rom_list();

    // On top, with the list focused.
    void showIndex();

    // Runs for the entry the user selected, by mouse or keyboard.
    void rom_list_Click();
    void Label2_Click() override;

signals:
    // The chosen game is in the edit window, for the hub to show beside it.
    void gameOpened();

protected:
    void chooseCurrent() override;

private:
    bool m_choosing = false;
};

} // namespace vx
