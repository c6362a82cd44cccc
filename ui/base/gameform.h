#pragma once

#include "core/gamesave.h"
#include "ui/dialogs.h"
#include "ui/form.h"

#include <array>
#include <cstddef>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vx
{

// The add and edit windows' common body: a game's six fields, a browse button beside each path,
// OK and Cancel, all placed as the window was drawn. Each window decides what its buttons do
// and on which event.
class GameForm : public Form
{
    Q_OBJECT

public:
    // The two windows built on the form; each has its own places for the controls.
    enum Window { AddWindow, EditWindow, WindowCount };
    enum Button { BrowseRom, BrowsePicture, Ok, Cancel, ButtonCount };
    static constexpr std::size_t FieldCount = 6;

    QWidget* keyboardStart() override;

    // A ROM path given to the window (chosen or dropped) goes into the path box.
    virtual void takeRomPath(const QString& path);
    // A file dropped on the window: a picture's path goes to the picture box, a ROM's as above.
    void takeDroppedFile(const QString& path);

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPlainTextEdit* Text4;

    CommonDialog cd1;

protected:
    explicit GameForm(Window window);

    PictureBox* button(Button which) const { return m_buttons.at(which); }
    // The boxes as typed, with the name box's text as the name.
    GameEntry typedEntry() const;
    // Shows `entry` in the boxes, long paths from their start.
    void showEntry(const GameEntry& entry);
    // The open dialog for the ROM or the picture, from its browse button's press.
    void browse(Button which);

    void keyPressEvent(QKeyEvent* event) override;

private:
    // In the order of the field table.
    std::array<QWidget*, FieldCount> m_fields{};
    std::array<PictureBox*, ButtonCount> m_buttons{};
};

} // namespace vx
