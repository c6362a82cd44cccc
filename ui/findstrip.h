#pragma once

#include <QWidget>

namespace vx
{

class ListBox;

// The part of a name typed into a list, shown in a strip over the list's bottom edge with how
// many names it leaves of how many ("12 of 3,104"). It shows while a part is typed and lets the
// pointer through to the list.
class FindStrip : public QWidget
{
    Q_OBJECT

public:
    // Over the bottom of `list`, a sibling of it; follows the list's filter and entries.
    explicit FindStrip(ListBox& list);

    QString typed() const { return m_typed; }
    QString countText() const { return m_count; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    ListBox& m_list;
    QString m_typed;
    QString m_count;
};

} // namespace vx
