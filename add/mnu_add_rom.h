#pragma once

#include "platform/dialogs.h"
#include "platform/form.h"
#include "platform/listbox.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vx
{

// The add window: a new game's name, paths, type, size and description. Its fields keep what
// was typed between openings.
class mnu_add_rom : public Form
{
    Q_OBJECT

public:
    static mnu_add_rom& get();
    mnu_add_rom();

    void Form_Load() override;

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPlainTextEdit* Text4;
    PictureBox* Picture1; // browse for the ROM
    PictureBox* Picture6; // browse for the picture
    PictureBox* Picture5; // save
    PictureBox* Picture4; // cancel

    // Image stores and the save's working list, out of sight below the client area.
    PictureBox* Picture2;
    PictureBox* Picture3;
    PictureBox* ok1;
    PictureBox* ok2;
    PictureBox* cancel1;
    PictureBox* cancel2;
    ListBox* List1;

    CommonDialog cd1;

    void Picture1_MouseDown();
    void Picture1_MouseUp();
    void Picture6_MouseDown();
    void Picture6_MouseUp();
    void Picture4_MouseDown();
    void Picture4_MouseUp();
    void Picture5_MouseDown();
    void Picture5_MouseUp();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
