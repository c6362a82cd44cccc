#include "setup/mnu_about.h"

#include "art/art.h"
#include "ui/forms.h"

#include <QKeyEvent>

namespace vx
{

mnu_about& mnu_about::get()
{
    return lazyForm<mnu_about>();
}

mnu_about::mnu_about() : Form(QStringLiteral("mnu_about"), Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("About"));
    setAccessibleDescription(QStringLiteral("Credits. Click to close."));
    setClientSize(4320, 4305);
    setBackground(art::aboutPicture());
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &Form::surfaceClicked, this, &mnu_about::Form_Click);
}

void mnu_about::Form_Click()
{
    hide();
}

void mnu_about::keyPressEvent(QKeyEvent* event)
{
    // From the keyboard the credits go away as by a click.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Form_Click();
        return;
    default:
        Form::keyPressEvent(event);
    }
}

} // namespace vx
