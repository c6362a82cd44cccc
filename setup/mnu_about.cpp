#include "setup/mnu_about.h"

#include "art/art.h"
#include "platform/forms.h"

namespace vx
{

mnu_about& mnu_about::get()
{
    return lazyForm<mnu_about>();
}

mnu_about::mnu_about() : Form(QStringLiteral("mnu_about"), Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("About"));
    setClientSize(4320, 4305);
    setBackground(art::aboutPicture());
}

} // namespace vx
