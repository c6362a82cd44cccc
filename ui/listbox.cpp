#include "ui/listbox.h"

#include <QAbstractListModel>

namespace vx
{

class ListBoxModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_items.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
            return m_items.string(index.row());
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    const TextList& items() const { return m_items; }

    void append(const TextList& texts)
    {
        if (texts.isEmpty())
            return;
        const int first = int(m_items.size());
        beginInsertRows({}, first, first + int(texts.size()) - 1);
        m_items.append(texts);
        endInsertRows();
    }

    void append(QStringView text)
    {
        const int row = int(m_items.size());
        beginInsertRows({}, row, row);
        m_items.append(text);
        endInsertRows();
    }

    void replace(const TextList& texts)
    {
        beginResetModel();
        m_items = texts;
        endResetModel();
    }

    void remove(int row)
    {
        beginRemoveRows({}, row, row);
        m_items.removeAt(row);
        endRemoveRows();
    }

private:
    TextList m_items;
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
    return int(m_model->items().size());
}

QString ListBox::text(int row) const
{
    const TextList& all = m_model->items();
    return row >= 0 && row < all.size() ? all.string(row) : QString();
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
    if (row >= 0 && row < count())
        m_model->remove(row);
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

void ListBox::selectionMoved()
{
    const int row = selectedRow();
    if (row >= 0)
        emit entrySelected(row);
}

} // namespace vx
