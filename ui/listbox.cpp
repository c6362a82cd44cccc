#include "ui/listbox.h"

#include "ui/namefold.h"

#include <QAbstractListModel>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>

namespace vx
{

// The entries, and the rows of them shown: every one while no part is typed, so that a row is
// the entry's own place and adding to a long list costs the view nothing per entry; else those
// holding the part, case and accents aside. The names are folded when a part is first typed, not
// while the list fills, and kept folded while the list changes.
class ListBoxModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        return int(filtering() ? m_shown.size() : m_items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const qsizetype entry = index.isValid() ? entryAt(index.row()) : -1;
        if (entry < 0)
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
            return m_items.string(entry);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    const TextList& items() const { return m_items; }
    const QString& typed() const { return m_typed; }

    // The entry shown at `row`, or -1.
    qsizetype entryAt(int row) const
    {
        if (row < 0 || row >= rowCount())
            return -1;
        return filtering() ? m_shown[row] : row;
    }

    void append(const TextList& texts)
    {
        if (texts.isEmpty())
            return;
        const qsizetype first = m_items.size();
        if (!filtering()) {
            beginInsertRows({}, int(first), int(first + texts.size()) - 1);
            m_items.append(texts);
            endInsertRows();
            return;
        }
        m_items.append(texts);
        const QList<int> found = matching(first);
        if (found.isEmpty())
            return;
        beginInsertRows({}, int(m_shown.size()), int(m_shown.size() + found.size()) - 1);
        m_shown.append(found);
        endInsertRows();
    }

    void replace(const TextList& texts)
    {
        beginResetModel();
        m_items = texts;
        m_folded.clear();
        m_shown = filtering() ? matching(0) : QList<int>();
        endResetModel();
    }

    void remove(qsizetype entry)
    {
        const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), int(entry));
        const bool shown = !filtering() || (at != m_shown.end() && *at == entry);
        const int row = filtering() ? int(at - m_shown.begin()) : int(entry);
        if (shown)
            beginRemoveRows({}, row, row);
        m_items.removeAt(entry);
        m_folded.removeAt(entry);
        if (filtering()) {
            const auto later = shown ? m_shown.erase(at) : at;
            for (auto it = later; it != m_shown.end(); ++it)
                --*it;
        }
        if (shown)
            endRemoveRows();
    }

    // Shows only the entries holding `typed`; the rows that stay keep their selection.
    void setPart(const QString& typed)
    {
        if (typed == m_typed)
            return;
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        QList<qsizetype> entries;
        entries.reserve(before.size());
        for (const QModelIndex& index : before)
            entries.append(entryAt(index.row()));
        m_typed = typed;
        m_part = foldName(typed);
        m_shown = filtering() ? matching(0) : QList<int>();
        QModelIndexList after;
        after.reserve(before.size());
        for (const qsizetype entry : entries)
            after.append(index(rowOf(entry), 0));
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }

private:
    bool filtering() const { return !m_part.isEmpty(); }

    // The entries from `first` on that hold the part, folding the names not folded yet.
    QList<int> matching(qsizetype first)
    {
        m_folded.extend(m_items);
        QList<int> found;
        for (qsizetype entry = first; entry < m_items.size(); ++entry) {
            if (m_folded.contains(entry, m_part))
                found.append(int(entry));
        }
        return found;
    }

    // The row showing `entry`, or -1.
    int rowOf(qsizetype entry) const
    {
        if (!filtering())
            return entry < m_items.size() ? int(entry) : -1;
        const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), int(entry));
        return at != m_shown.end() && *at == entry ? int(at - m_shown.begin()) : -1;
    }

    TextList m_items;
    FoldedNames m_folded;
    QList<int> m_shown;
    QString m_typed;
    QString m_part;
};

ListBox::ListBox(QWidget* parent) : QListView(parent), m_model(new ListBoxModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit itemDoubleClicked(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListBox::selectionMoved);
}

int ListBox::count() const
{
    return m_model->rowCount();
}

int ListBox::sourceRow(int row) const
{
    return int(m_model->entryAt(row));
}

QString ListBox::text(int row) const
{
    const TextList& all = m_model->items();
    const int at = sourceRow(row);
    return at >= 0 && at < all.size() ? all.string(at) : QString();
}

const TextList& ListBox::texts() const
{
    return m_model->items();
}

void ListBox::addItems(const TextList& texts)
{
    m_model->append(texts);
}

void ListBox::setItems(const TextList& texts)
{
    m_model->replace(texts);
}

void ListBox::removeItem(int row)
{
    const int at = sourceRow(row);
    if (at >= 0)
        m_model->remove(at);
}

void ListBox::clear()
{
    selectionModel()->clear();
    m_model->replace(TextList());
}

int ListBox::currentRow() const
{
    return currentIndex().row();
}

void ListBox::setCurrentRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
}

int ListBox::selectedRow() const
{
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    return chosen.isEmpty() ? -1 : chosen.first().row();
}

QString ListBox::currentText() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? text(current.row())
                                                                      : QString();
}

void ListBox::setFilter(const QString& part)
{
    m_model->setPart(part);
}

QString ListBox::filter() const
{
    return m_model->typed();
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    m_keyboardMove = true;
    QListView::keyPressEvent(event);
    m_keyboardMove = false;
}

bool ListBox::viewportEvent(QEvent* event)
{
    // A name cut by the list's width shows whole beside the pointer.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && sizeHintForIndex(index).width() > viewport()->width()) {
            QToolTip::showText(help->globalPos(), index.data().toString(), viewport(),
                               visualRect(index));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QListView::viewportEvent(event);
}

void ListBox::selectionMoved()
{
    const int row = selectedRow();
    if (row >= 0)
        emit entrySelected(row);
}

} // namespace vx
