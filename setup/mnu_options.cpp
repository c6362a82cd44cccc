#include "setup/mnu_options.h"

#include "art/art.h"
#include "platform/forms.h"

namespace vx
{

mnu_options& mnu_options::get()
{
    return lazyForm<mnu_options>();
}

mnu_options::mnu_options() : Form(QStringLiteral("mnu_options"), Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("Setup"));
    setClientSize(4320, 4320);
    setBackground(art::optionsBackground());
}

} // namespace vx
