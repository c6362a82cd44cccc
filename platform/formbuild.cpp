#include "platform/formbuild.h"

#include <QComboBox>
#include <QFont>

namespace vx
{

QComboBox* makeCombo(const QString& name, QWidget* parent, const QStringList& items)
{
    auto* combo = makeControl<QComboBox>(name, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

void setTabChain(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void setFonts(std::initializer_list<QWidget*> controls, const QFont& font)
{
    for (QWidget* control : controls)
        control->setFont(font);
}

} // namespace vx
