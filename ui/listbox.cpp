#include "ui/listbox.h"

#include "ui/namefold.h"

#include <QAbstractListModel>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace vx
{

namespace
{

// Rows the view places a turn of the event loop: a few milliseconds' work.
constexpr int kLayoutBatch = 1 << 15;

} // namespace

// The texts, and which of them show: every one, or, once a part is typed, those holding it. The
// filter lives in the model rather than in a proxy of it, so that filling, replacing or
// emptying a list with nothing typed is one step for the view whatever its length, rather than a
// mapping kept for every row. The names are folded when a part is first typed, not while the
// list fills, and kept folded while the list changes.
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
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
            return m_items.string(sourceRow(index.row()));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    const TextList& items() const { return m_items; }

    // The entry shown at `row` (which must be shown).
    qsizetype sourceRow(int row) const { return filtering() ? m_shown[size_t(row)] : row; }

    void append(const TextList& texts)
    {
        if (texts.isEmpty())
            return;
        if (!filtering()) {
            const int first = int(m_items.size());
            beginInsertRows({}, first, first + int(texts.size()) - 1);
            m_items.append(texts);
            endInsertRows();
            return;
        }
        const qsizetype from = m_items.size();
        m_items.append(texts);
        m_folded.extend(m_items);
        std::vector<qsizetype> found;
        for (qsizetype row = from; row < m_items.size(); ++row) {
            if (m_folded.contains(row, m_part))
                found.push_back(row);
        }
        if (found.empty())
            return;
        const int first = int(m_shown.size());
        beginInsertRows({}, first, first + int(found.size()) - 1);
        m_shown.insert(m_shown.end(), found.begin(), found.end());
        endInsertRows();
    }

    void replace(const TextList& texts)
    {
        beginResetModel();
        m_items = texts;
        m_folded.clear();
        refilter();
        endResetModel();
    }

    void remove(qsizetype at)
    {
        const auto shownAt = std::lower_bound(m_shown.begin(), m_shown.end(), at);
        const bool visible = !filtering() || (shownAt != m_shown.end() && *shownAt == at);
        const int row = filtering() ? int(shownAt - m_shown.begin()) : int(at);
        if (visible)
            beginRemoveRows({}, row, row);
        m_items.removeAt(at);
        m_folded.removeAt(at);
        if (filtering()) {
            auto later = shownAt;
            if (visible)
                later = m_shown.erase(shownAt);
            for (; later != m_shown.end(); ++later)
                --*later;
        }
        if (visible)
            endRemoveRows();
    }

    const QString& part() const { return m_typed; }

    void setPart(const QString& typed)
    {
        if (typed == m_typed)
            return;
        // One change of the layout, keeping the current and selected entries where they still
        // show, rather than a removal or an insertion for every run of rows.
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        std::vector<qsizetype> entries;
        entries.reserve(size_t(before.size()));
        for (const QModelIndex& index : before)
            entries.push_back(sourceRow(index.row()));
        m_typed = typed;
        m_part = foldName(typed);
        refilter();
        QModelIndexList after;
        after.reserve(before.size());
        for (const qsizetype entry : entries)
            after.append(rowOf(entry));
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }

private:
    bool filtering() const { return !m_part.isEmpty(); }

    void refilter()
    {
        m_shown.clear();
        if (!filtering())
            return;
        m_folded.extend(m_items);
        for (qsizetype row = 0; row < m_items.size(); ++row) {
            if (m_folded.contains(row, m_part))
                m_shown.push_back(row);
        }
    }

    // Where the entry shows; invalid when it does not.
    QModelIndex rowOf(qsizetype entry) const
    {
        if (!filtering())
            return index(int(entry), 0);
        const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), entry);
        return at != m_shown.end() && *at == entry ? index(int(at - m_shown.begin()), 0)
                                                   : QModelIndex();
    }

    TextList m_items;
    FoldedNames m_folded;
    QString m_typed;
    QString m_part;
    // The entries shown, in order, while a part is typed.
    std::vector<qsizetype> m_shown;
};

ListBox::ListBox(QWidget* parent) : QListView(parent), m_model(new ListBoxModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    // The view places every row when laid out; a long list is placed a batch at a time between
    // turns of the event loop, so showing a million names never holds the windows still. A list
    // shorter than a batch is laid out at once, as usual.
    setLayoutMode(QListView::Batched);
    setBatchSize(kLayoutBatch);
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
    return row < 0 || row >= count() ? -1 : int(m_model->sourceRow(row));
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
    return m_model->part();
}

bool ListBox::laidOut(const QModelIndex& index) const
{
    // A row's place is known before the view has placed it; a row not placed yet is not found
    // there.
    const QRect place = visualRect(index);
    return place.isValid() && indexAt(place.center()) == index;
}

void ListBox::finishLayout()
{
    const int rows = m_model->rowCount();
    if (rows == 0 || laidOut(m_model->index(rows - 1, 0)))
        return;
    setLayoutMode(QListView::SinglePass);
    doItemsLayout();
    setLayoutMode(QListView::Batched);
}

QModelIndex ListBox::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // The view's own move to the end stops at the rows laid out so far; the row reached is
    // laid out as it is scrolled to.
    if (cursorAction == MoveEnd) {
        const int rows = m_model->rowCount();
        return rows > 0 ? m_model->index(rows - 1, 0) : QModelIndex();
    }
    return QListView::moveCursor(cursorAction, modifiers);
}

void ListBox::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // A row not laid out yet has no place to scroll to.
    if (index.isValid() && !laidOut(index))
        finishLayout();
    QListView::scrollTo(index, hint);
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
