#pragma once

#include "ui/form.h"

namespace vx
{

// Where a notice of the given size goes, in twips: the legacy rule takes its Top from the
// screen's width and its Left from its height. That place is kept wherever the notice fits
// there, and moved the least distance that brings it wholly into `room` where it does not
// (wide and portrait screens).
QPointF noticePlace(QSizeF screen, QRectF room, QSizeF notice);

// The notice window: two lines and an OK picture; it slides away when OK is released.
class mnu_error : public Form
{
    Q_OBJECT

public:
    static mnu_error& get();
    mnu_error();

    // Sets both lines, places the window by the notice rule and shows it above every
    // other window of the program, with the keyboard.
    void showNotice(const QString& upper, const QString& lower);

    Label* Label1;
    Label* Label2;
    PictureBox* Picture1;

    void Picture1_MouseUp();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitLines();
};

} // namespace vx
