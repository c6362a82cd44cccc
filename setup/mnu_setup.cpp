#include "setup/mnu_setup.h"

#include "core/catalogue.h"
#include "core/profile.h"
#include "core/textfile.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/units.h"
#include "ui/vx_modules.h"

namespace vx
{

mnu_setup& mnu_setup::get()
{
    return lazyForm<mnu_setup>();
}

mnu_setup::mnu_setup()
    : Form(QStringLiteral("mnu_setup"),
           Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint),
      Label1(new Label(QStringLiteral("Label1"), this))
{
    setWindowTitle(QStringLiteral("Setup..."));
    setClientSize(4530, 270);
    place(*Label1, 0, 0, 4575, 255);
    Label1->setFont(designFont(8.25));
    Label1->setForeColor(0x000000);
    // Text flush against the frame reads as cut off.
    Label1->setIndent(twipsToPixels(90));
    Label1->setAutoFillBackground(true);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::Window, colorFromBgr(0xFFFFFF));
    Label1->setPalette(pal);
}

void mnu_setup::status(const QString& text)
{
    Label1->setCaption(text);
    Label1->repaint();
}

void mnu_setup::Form_Load()
{
    using sys_procs::pause;
    const QString settings = catalogue::settingsPath();
    const QString bin = catalogue::binPath();
    const QString index = catalogue::indexPath();
    // Each write holds the catalogue's lock, as every write does; the pauses do not.
    const auto setting = [&](const char* section, const char* key, const QString& value) {
        const catalogue::WriteLock lock;
        return lock.held() &&
               profile::write(settings, QLatin1String(section), QLatin1String(key), value);
    };

    pause(1);
    // Centred, so the first thing a new user sees is not lost in a corner.
    const QSizeF screen = screenSizeTwips();
    setLeft((screen.width() - Width()) / 2);
    setTop((screen.height() - Height()) / 2);
    show();
    status(QStringLiteral("Creating log file(s)"));
    pause(2);
    // Every value is attempted; a settings file that could not be written is reported at the
    // end, since the next start would otherwise run the setup again without saying why.
    bool settingsWritten = setting("info", "runs", QStringLiteral("1"));
    pause(1);
    status(QStringLiteral("Creating Bin"));
    makeFolder(bin);
    settingsWritten &= setting("dir", "made", QStringLiteral("bin"));
    pause(1);
    status(QStringLiteral("Bin Created"));
    pause(2);
    status(QStringLiteral("Creating Bootlist"));
    pause(2);
    // A catalogue kept from an earlier install (only the settings were lost) stays as it is.
    {
        const catalogue::WriteLock lock;
        if (lock.held() && !pathTaken(index))
            sys_procs::write_text_file(QString(), index);
    }
    settingsWritten &= setting("file", "made", QStringLiteral("boolist.lst"));
    settingsWritten &= setting("export", "path", QString());
    pause(2);
    hide();
    // The hub, which loaded this window and waits for it.
    if (Form* hub = owner())
        hub->show();
    if (!settingsWritten)
        VX_modules::show_notice(QStringLiteral("The settings file could not be created."),
                                QStringLiteral("Check that the program folder can be written."));
}

} // namespace vx
