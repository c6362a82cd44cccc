#pragma once

#include "ui/form.h"
#include "ui/listbox.h"

namespace vx
{

class FindStrip;

// A window of game names over the list background, a hint and Cancel below: the browser and the
// record picker are two of its kind. Typing finds names: the list keeps those holding what was
// typed (case and accents aside), shown in a strip over its bottom edge; Backspace edits it and
// Escape clears it. Escape with nothing typed puts the window away as Cancel does. Delete, or
// the list's context menu, removes the game under the cursor from the catalogue after asking.
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

    // Shows only the names holding `part` (empty: all), the cursor on the first of them.
    void findName(const QString& part);
    FindStrip* findStrip() const { return m_strip; }

    // Asks, then takes the game under the list's cursor out of the catalogue: its index lines
    // and its record.
    void removeCurrent();

signals:
    // A game was taken out of the catalogue.
    void gameRemoved(const QString& name);

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

private:
    // A key typed into the list: true when it edited what is being found.
    bool typeKey(const QKeyEvent& key);
    void showMenu(const QPoint& at);

    FindStrip* m_strip;
};

} // namespace vx
