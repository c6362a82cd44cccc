#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QPlainTextEdit;

namespace vx
{

// A control made as a child of `parent` under the name the window's code uses for it.
template <class T> T* makeControl(const QString& name, QWidget* parent)
{
    auto* control = new T(parent);
    control->setObjectName(name);
    return control;
}

// A drop-down that offers `items` and takes any typed text exactly as typed: no completion, no
// change of case, and typing never adds to the list.
QComboBox* makeCombo(const QString& name, QWidget* parent, const QStringList& items);

// Sets a combo box's text, with its list entry current when the text is one of them.
void setComboText(QComboBox& combo, const QString& text);

// The box's text character for character (toPlainText would turn a no-break space into a
// plain one); paragraph and line separators become line breaks.
QString typedText(const QPlainTextEdit& box);

} // namespace vx
