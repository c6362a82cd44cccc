#pragma once

#include "ui/dialogs.h"
#include "ui/form.h"

#include <memory>

class QLineEdit;

namespace vx::datfile
{
class Dat;
}

namespace vx
{

class CheckBox;

// The options window: the export folder, the DAT of known good dumps, whether Export writes
// .z64 images, and clearing the catalogue's index.
class mnu_options : public Form
{
    Q_OBJECT

public:
    static mnu_options& get();
    mnu_options();

    void Form_Load() override;
    QWidget* keyboardStart() override;

    QLineEdit* Text1;
    QLineEdit* Text2;    // the DAT file
    PictureBox* cmd_dat; // browse for the DAT
    CheckBox* chk_z64;   // export in the cartridge's own order
    PictureBox* cmd_clear;
    PictureBox* cmd_ok;
    PictureBox* cmd_cancel;

    CommonDialog cd1;

    void cmd_ok_Click();
    void cmd_cancel_Click();
    void cmd_clear_Click();
    void cmd_dat_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void slideAway();
    // Reads the DAT named in the box when it is not the one in force, showing why when it cannot
    // be; false then. `dat` gets what was read.
    bool readNewDat(const QString& path, std::shared_ptr<const datfile::Dat>& dat);

    bool m_sliding = false;
    bool m_saving = false;
};

} // namespace vx
