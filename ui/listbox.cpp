#include "ui/listbox.h"

#include "ui/namefold.h"

#include <QAbstractListModel>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QToolTip>

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

// Shows the names holding the part typed, case and accents aside. The names are folded when a
// part is first typed, not while the list fills, and kept folded while the list changes.
class ListBoxFilter : public QSortFilterProxyModel
{
public:
    ListBoxFilter(ListBoxModel* source, QObject* parent)
        : QSortFilterProxyModel(parent), m_source(source)
    {
        // Ahead of the proxy's own handlers, which ask filterAcceptsRow about the rows changed.
        connect(source, &QAbstractItemModel::rowsInserted, this, &ListBoxFilter::follow);
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            m_folded.clear();
            follow();
        });
        connect(source, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex&, int first, int last) {
                    for (int row = last; row >= first; --row)
                        m_folded.removeAt(row);
                });
        setDynamicSortFilter(false);
        setSourceModel(source);
    }

    const QString& part() const { return m_typed; }

    void setPart(const QString& typed)
    {
        if (typed == m_typed)
            return;
        m_typed = typed;
        m_part = foldName(typed);
        follow();
        // One reset of the mapping rather than a removal or an insertion for every run of rows.
        invalidate();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& /*parent*/) const override
    {
        return m_part.isEmpty() || m_folded.contains(row, m_part);
    }

private:
    void follow()
    {
        if (!m_part.isEmpty())
            m_folded.extend(m_source->items());
    }

    ListBoxModel* m_source;
    FoldedNames m_folded;
    QString m_typed;
    QString m_part;
};

ListBox::ListBox(QWidget* parent)
    : QListView(parent), m_model(new ListBoxModel(this)), m_filter(new ListBoxFilter(m_model, this))
{
    setModel(m_filter);
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
    return m_filter->rowCount();
}

int ListBox::sourceRow(int row) const
{
    return row < 0 ? -1 : m_filter->mapToSource(m_filter->index(row, 0)).row();
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
    const QModelIndex index = m_filter->index(row, 0);
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
    m_filter->setPart(part);
}

QString ListBox::filter() const
{
    return m_filter->part();
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
