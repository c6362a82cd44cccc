#pragma once

#include "ui/form.h"

class QLineEdit;

namespace vx
{

// The options window: the export folder, and clearing the catalogue's index.
class mnu_options : public Form
{
    Q_OBJECT

public:
    static mnu_options& get();
    mnu_options();

    void Form_Load() override;
    QWidget* keyboardStart() override;

    QLineEdit* Text1;
    PictureBox* cmd_clear;
    PictureBox* cmd_ok;
    PictureBox* cmd_cancel;

    void cmd_ok_Click();
    void cmd_cancel_Click();
    void cmd_clear_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void slideAway();

    bool m_sliding = false;
};

} // namespace vx
