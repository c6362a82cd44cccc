#pragma once

#include "core/textlist.h"

#include <QListView>

namespace vx
{

class ListBoxModel;

// A list of texts shown one a row. The texts live in one shared text list, so filling,
// emptying or replacing a list of any length is a single step for the view rather than one
// item object per entry. Only the names holding a typed part show; rows are counted as shown.
class ListBox : public QListView
{
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    // The rows shown.
    int count() const;
    // Empty for a row outside the list.
    QString text(int row) const;
    // Every entry, shown or not, without copying them.
    const TextList& texts() const;

    void addItems(const TextList& texts);
    // Replaces every entry at once; the selection goes.
    void setItems(const TextList& texts);
    // Removes the entry shown at `row`.
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

    // Shows only the entries holding `part`, case and accents aside; empty shows them all. The
    // part stays while the entries change.
    void setFilter(const QString& part);
    QString filter() const;
    // Every entry, shown or not.
    int total() const { return int(texts().size()); }

    // Keeps `pixels` free below the names, inside the frame, for a strip laid over it.
    void setBottomMargin(int pixels) { setViewportMargins(0, 0, 0, pixels); }

    // Whether the selection being reported comes from a key: an arrow, a page or a jump.
    bool selectingByKeyboard() const { return m_keyboardMove; }

signals:
    void itemDoubleClicked(int row);
    // The selection changed and an entry is now selected: a press on it, a keyboard move to
    // it, or the removal of the selected row (its follower is selected, as in any list view).
    // Gaining focus, emptying or filling the list never selects, so never emits this.
    void entrySelected(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void selectionMoved();
    int sourceRow(int row) const;

    ListBoxModel* m_model;
    bool m_keyboardMove = false;
};

} // namespace vx
