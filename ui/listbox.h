#pragma once

#include "core/textlist.h"

#include <QListView>

namespace vx
{

class ListBoxModel;

// A list of texts shown one a row. The texts live in one shared text list, so filling,
// emptying or replacing a list of any length is a single step for the view rather than one
// item object per entry.
class ListBox : public QListView
{
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    int count() const;
    // Empty for a row outside the list.
    QString text(int row) const;
    // The entries without copying them.
    const TextList& texts() const;

    void addItems(const TextList& texts);
    // Replaces every entry at once; the selection goes.
    void setItems(const TextList& texts);
    void removeItem(int row);
    // Clears the selection, then the entries.
    void clear();

    // The current row, selected or not; -1 when there is none.
    int currentRow() const;
    // Makes the row current and selects it; -1 (or a row outside the list) leaves none current.
    void setCurrentRow(int row);
    // The selected row, or -1.
    int selectedRow() const;
    // The text of the current row when it is selected, otherwise empty.
    QString currentText() const;

signals:
    void itemDoubleClicked(int row);
    // The selection changed and an entry is now selected: a press on it, a keyboard move to
    // it, or the removal of the selected row (its follower is selected, as in any list view).
    // Gaining focus, emptying or filling the list never selects, so never emits this.
    void entrySelected(int row);

private:
    void selectionMoved();

    ListBoxModel* m_model;
};

} // namespace vx
