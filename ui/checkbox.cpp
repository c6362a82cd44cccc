#include "ui/checkbox.h"

#include "art/art.h"
#include "ui/controls.h"

#include <QKeyEvent>
#include <QPainter>

namespace vx
{

CheckBox::CheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent)
{
    setObjectName(name);
    setAccessibleName(caption);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void CheckBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    art::paintCheckBox(painter, QRectF(rect()), text(), isChecked());
    if (hasFocus())
        drawFocusFrame(painter, *this);
}

bool CheckBox::hitButton(const QPoint& pos) const
{
    // The caption is part of it, as with any check box.
    return rect().contains(pos);
}

void CheckBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat() &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

} // namespace vx
