#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <initializer_list>

class QComboBox;
class QFont;
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

// Tab moves through `controls` in the order given.
void setTabChain(std::initializer_list<QWidget*> controls);

void setFonts(std::initializer_list<QWidget*> controls, const QFont& font);

// Names the six fields of the add and edit windows for assistive technology, as their captions
// on the window read.
void nameGameFields(QWidget* name, QWidget* romPath, QWidget* imagePath, QWidget* gameType,
                    QWidget* size, QWidget* description);

} // namespace vx
