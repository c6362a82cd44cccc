#pragma once

#include "ui/form.h"
#include "ui/listbox.h"

namespace vx
{

// The ROM browser: the catalogue's names; a double click shows a game on the hub.
class mnu_list : public Form
{
    Q_OBJECT

public:
    static mnu_list& get();
    mnu_list();

    void Form_Load() override;

    ListBox* rom_list;
    Label* Label1;
    Label* Label2;

    void rom_list_DblClick();
    void Label2_Click();

    // After a save: put away, the index as now written appended to the list (the next opening
    // drops the repeats).
    void takeSavedIndex(const TextList& index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_viewing = false;
};

} // namespace vx
