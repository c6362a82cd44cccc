#pragma once

#include "ui/form.h"
#include "ui/listbox.h"

namespace vx
{

// A window of game names over the list background, a hint and Cancel below: the browser and the
// record picker are two of its kind. Escape puts it away as Cancel does.
class ListWindow : public Form
{
    Q_OBJECT

public:
    ListBox* rom_list;
    Label* Label1;
    Label* Label2;

    // Empties the list and reads the index at `path` into it, serving events as a long fill
    // does; false when the index could not be read.
    bool readIndex(const QString& path);

    // Cancel: the window goes, choosing nothing.
    virtual void Label2_Click() = 0;

protected:
    struct Look {
        QString name;
        QString title;
        double width; // twips
        // The hint and Cancel keep their designed boxes (the hint's letters close up where the
        // font runs wide) rather than growing with their texts.
        bool boxedLabels;
    };
    explicit ListWindow(const Look& look);

    // The record of the game shown at `row`. When it has none: the notice, and the row goes
    // from the screen (the index keeps the name); empty then.
    QString recordOrNotice(int row);

    // Enter on the list: the game under the keyboard's cursor is chosen.
    virtual void chooseCurrent() = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
