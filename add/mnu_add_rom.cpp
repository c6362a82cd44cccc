#include "add/mnu_add_rom.h"

#include "core/romimport.h"
#include "ui/base/gamesaving.h"
#include "ui/formbuild.h"
#include "ui/forms.h"
#include "ui/units.h"
#include "ui/verdictlabel.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace vx
{

mnu_add_rom& mnu_add_rom::get()
{
    return lazyForm<mnu_add_rom>();
}

mnu_add_rom::mnu_add_rom()
    : GameForm(AddWindow), Picture1(button(BrowseRom)), Picture6(button(BrowsePicture)),
      Picture5(button(Ok)), Picture4(button(Cancel)),
      lbl_verdict(new VerdictLabel(QStringLiteral("lbl_verdict"), this)),
      m_reader(new cartridge::Reader(
          [this](const QString& path, const cartridge::Details& details) {
              fillFromCartridge(path, details);
          },
          this))
{
    place(*lbl_verdict, 240, 4110, 3240, 240);
    lbl_verdict->setFont(designFont(8.25));

    // The save and the cancel act at the press.
    connect(Picture1, &PictureBox::mouseDown, this, &mnu_add_rom::Picture1_MouseDown);
    connect(Picture6, &PictureBox::mouseDown, this, &mnu_add_rom::Picture6_MouseDown);
    connect(Picture4, &PictureBox::mouseDown, this, &mnu_add_rom::Picture4_MouseDown);
    connect(Picture5, &PictureBox::mouseDown, this, &mnu_add_rom::Picture5_MouseDown);

    // A verdict on a path no longer in the box would mislead.
    connect(Text2, &QLineEdit::textChanged, this, [this](const QString& path) {
        if (path != lbl_verdict->romPath())
            lbl_verdict->showFor(QString());
    });
    connect(Text2, &QLineEdit::editingFinished, this, [this] {
        if (Text2->text() != m_lastRead)
            readCartridge(Text2->text());
    });
}

void mnu_add_rom::Picture1_MouseDown()
{
    browse(BrowseRom);
}

void mnu_add_rom::Picture6_MouseDown()
{
    browse(BrowsePicture);
}

void mnu_add_rom::Picture4_MouseDown()
{
    hide();
}

void mnu_add_rom::Picture5_MouseDown()
{
    saveFromWindow(typedEntry(), *this);
}

void mnu_add_rom::takeRomPath(const QString& path)
{
    GameForm::takeRomPath(path);
    readCartridge(path);
}

void mnu_add_rom::readCartridge(const QString& path)
{
    m_lastRead = path;
    lbl_verdict->showFor(path);
    if (!path.isEmpty())
        m_reader->read(path);
}

void mnu_add_rom::fillFromCartridge(const QString& path, const cartridge::Details& details)
{
    // A path changed since is the user's newer choice.
    if (Text2->text() != path)
        return;
    // Only what is still empty: nothing typed is ever replaced. A collector's file name is the
    // name they chose; the header's is the fallback.
    if (Text1->text().isEmpty()) {
        const QString fromFile = romimport::nameFromFileName(QDir::fromNativeSeparators(path));
        Text1->setText(fromFile.isEmpty() ? details.name : fromFile);
    }
    if (Combo1->currentText().isEmpty())
        setComboText(*Combo1, details.gameType);
    if (Combo2->currentText().isEmpty() && !details.size.isEmpty())
        setComboText(*Combo2, details.size);
}

} // namespace vx
