#pragma once

#include "core/catalogue.h"
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

    // The names of the index read at start-up, added at once: a View ROM or a save handled
    // between the steps of a longer fill would find the list half filled.
    void takeIndex(const TextList& names);
    // Empties the list and reads the index at `path` into it, serving events as a long fill
    // does; false when the index could not be read.
    bool readIndex(const QString& path);
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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_viewing = false;
};

} // namespace vx
