#pragma once

#include "platform/form.h"

namespace vx
{

// The notice window: two lines and an OK picture; it slides away when OK is released.
class mnu_error : public Form
{
    Q_OBJECT

public:
    static mnu_error& get();
    mnu_error();

    // Hides the window, sets both lines, places it by the notice rule and shows it; the
    // missing-record notices leave it as topmost as it already was.
    void showNotice(const QString& upper, const QString& lower, bool makeTopmost);

    Label* Label1;
    Label* Label2;
    PictureBox* Picture1;
    PictureBox* Picture2;
    PictureBox* Picture3;

    void Picture1_MouseDown();
    void Picture1_MouseUp();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
