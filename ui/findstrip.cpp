#include "ui/findstrip.h"

#include "ui/listbox.h"
#include "ui/units.h"

#include <QLocale>
#include <QPainter>

namespace vx
{

FindStrip::FindStrip(ListBox& list) : QWidget(list.parentWidget()), m_list(list)
{
    setObjectName(QStringLiteral("find_strip"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(list.font());
    hide();
    QAbstractItemModel* shown = list.model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(shown, signal, this, &FindStrip::follow);
    connect(shown, &QAbstractItemModel::modelReset, this, &FindStrip::follow);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &FindStrip::follow);
}

void FindStrip::follow()
{
    m_typed = m_list.filter();
    const bool on = !m_typed.isEmpty();
    // Filling the list with nothing typed costs the strip nothing.
    if (!on && isHidden())
        return;
    const QLocale locale;
    m_count = QStringLiteral("%1 of %2")
                  .arg(locale.toString(m_list.count()), locale.toString(m_list.total()));
    setAccessibleName(QStringLiteral("Find: %1, %2").arg(m_typed, m_count));
    const int height = fontMetrics().height() + 4;
    // In room the list keeps free below its names, inside its frame.
    m_list.setBottomMargin(on ? height : 0);
    if (on) {
        const QRect names = m_list.viewport()->geometry().translated(m_list.pos());
        setGeometry(names.left(), names.bottom() + 1, names.width(), height);
        raise();
    }
    setVisible(on);
    update();
}

void FindStrip::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // A rule above in the list's blue sets the strip apart from the names.
    const QColor blue = colorFromBgr(0xFF0000);
    painter.setPen(blue);
    painter.drawLine(rect().topLeft(), rect().topRight());
    const QRect text = rect().adjusted(3, 1, -3, 0);
    painter.setPen(colorFromBgr(0xFF8080));
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, m_count);
    const int room = text.width() - fontMetrics().horizontalAdvance(m_count) - 8;
    painter.setPen(blue);
    painter.drawText(QRect(text.left(), text.top(), std::max(room, 0), text.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(m_typed, Qt::ElideLeft, std::max(room, 0)));
}

} // namespace vx
