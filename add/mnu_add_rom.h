#pragma once

#include "core/cartridge.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/listbox.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vx
{

class VerdictLabel;

// The add window: a new game's name, paths, type, size and description. Its fields keep what
// was typed between openings.
class mnu_add_rom : public Form
{
    Q_OBJECT

public:
    static mnu_add_rom& get();
    mnu_add_rom();

    void Form_Load() override;
    QWidget* keyboardStart() override;

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPlainTextEdit* Text4;
    PictureBox* Picture1;      // browse for the ROM
    PictureBox* Picture6;      // browse for the picture
    PictureBox* Picture5;      // save
    PictureBox* Picture4;      // cancel
    VerdictLabel* lbl_verdict; // what the DAT makes of the ROM chosen

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

    // A ROM path given to the window (chosen, dropped, or from the hub): it goes into the path
    // box and the cartridge's header fills the boxes still empty, once it has been read.
    void takeRomPath(const QString& path);
    // A file dropped on the window: a picture's path goes to the picture box, a ROM's as above.
    void takeDroppedFile(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void readCartridge(const QString& path);
    void fillFromCartridge(const QString& path, const cartridge::Details& details);

    cartridge::Reader* m_reader;
    // The path last sent to the reader, so leaving the box unchanged does not read it again.
    QString m_lastRead;
};

} // namespace vx
