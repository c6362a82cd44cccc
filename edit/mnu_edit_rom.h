#pragma once

#include "core/catalogue.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/listbox.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vx
{

// The edit window: one stored game's paths, type, size and description. The name it was
// opened under (open) is kept in the hidden Text5, empty until then; the visible name box only
// shows it.
class mnu_edit_rom : public Form
{
    Q_OBJECT

public:
    static mnu_edit_rom& get();
    mnu_edit_rom();

    void Form_Load() override;
    QWidget* keyboardStart() override;

    // Fills the window with a stored game, opened under `name`; the picker's choice.
    void open(const QString& name, const catalogue::Record& record);

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPlainTextEdit* Text4;
    PictureBox* Picture1;
    PictureBox* Picture2;
    PictureBox* Picture3;
    PictureBox* Picture4;

    // Below the visible area.
    QLineEdit* Text5;
    ListBox* List1;
    PictureBox* find1;
    PictureBox* find2;
    PictureBox* ok1;
    PictureBox* ok2;
    PictureBox* cancel1;
    PictureBox* cancel2;

    CommonDialog cd1;

    void Picture1_MouseDown();
    void Picture1_MouseUp();
    void Picture2_MouseDown();
    void Picture2_MouseUp();
    void Picture3_MouseDown();
    void Picture3_MouseUp();
    void Picture3_Click();
    void Picture4_MouseDown();
    void Picture4_MouseUp();
    void Picture4_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
