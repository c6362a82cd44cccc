#pragma once

#include "core/catalogue.h"
#include "ui/listwindow.h"

namespace vx
{

// The ROM browser: the catalogue's names; a double click or Enter shows a game on the hub.
class mnu_list : public ListWindow
{
    Q_OBJECT

public:
    static mnu_list& get();
    mnu_list();

    void Form_Load() override;

    void rom_list_DblClick();
    void Label2_Click() override;

    // The names of the index read at start-up, added at once: a View ROM or a save handled
    // between the steps of a longer fill would find the list half filled.
    void takeIndex(const TextList& names);
    // Shows each name once, without the empty first line every index starts with, on top and
    // with the list focused.
    void showIndex();
    // After a save: put away, the index as now written appended to the list (the next opening
    // drops the repeats).
    void takeSavedIndex(const TextList& index);

signals:
    // A game chosen from the list, with its record as read now, for the hub to show.
    void gameChosen(const QString& title, const vx::catalogue::Record& record);

protected:
    void chooseCurrent() override;

private:
    bool m_viewing = false;
};

} // namespace vx
