#include "add/mnu_add_rom.h"

#include "art/art.h"
#include "core/gamesave.h"
#include "ui/base/gamesaving.h"
#include "ui/filedrops.h"
#include "ui/formbuild.h"
#include "ui/forms.h"
#include "ui/gamebrowse.h"
#include "ui/listbox.h"
#include "ui/units.h"
#include "ui/verdictlabel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vx
{

mnu_add_rom& mnu_add_rom::get()
{
    return lazyForm<mnu_add_rom>();
}

mnu_add_rom::mnu_add_rom()
    : Form(QStringLiteral("mnu_add_rom"), Qt::FramelessWindowHint | Qt::Tool),
      Text1(makeControl<QLineEdit>(QStringLiteral("Text1"), this)),
      Text2(makeControl<QLineEdit>(QStringLiteral("Text2"), this)),
      Text3(makeControl<QLineEdit>(QStringLiteral("Text3"), this)),
      Combo1(makeCombo(QStringLiteral("Combo1"), this,
                       {QStringLiteral("US"), QStringLiteral("JAP"), QStringLiteral("PAL"),
                        QStringLiteral("Other!")})),
      Combo2(makeCombo(QStringLiteral("Combo2"), this,
                       {QStringLiteral("64"), QStringLiteral("96"), QStringLiteral("128"),
                        QStringLiteral("256"), QStringLiteral("320"), QStringLiteral("Other!")})),
      Text4(makeControl<QPlainTextEdit>(QStringLiteral("Text4"), this)),
      Picture1(new PictureBox(QStringLiteral("Picture1"), this)),
      Picture6(new PictureBox(QStringLiteral("Picture6"), this)),
      Picture5(new PictureBox(QStringLiteral("Picture5"), this)),
      Picture4(new PictureBox(QStringLiteral("Picture4"), this)),
      lbl_verdict(new VerdictLabel(QStringLiteral("lbl_verdict"), this)),
      Picture2(new PictureBox(QStringLiteral("Picture2"), this)),
      Picture3(new PictureBox(QStringLiteral("Picture3"), this)),
      ok1(new PictureBox(QStringLiteral("ok1"), this)),
      ok2(new PictureBox(QStringLiteral("ok2"), this)),
      cancel1(new PictureBox(QStringLiteral("cancel1"), this)),
      cancel2(new PictureBox(QStringLiteral("cancel2"), this)),
      List1(makeControl<ListBox>(QStringLiteral("List1"), this)),
      m_reader(new cartridge::Reader(
          [this](const QString& path, const cartridge::Details& details) {
              fillFromCartridge(path, details);
          },
          this))
{
    setWindowTitle(QStringLiteral("Add ROM"));
    setClientSize(5715, 4470);
    setBackground(art::addBackground());

    setFonts({Text1, Text2, Text3, Combo1, Combo2, Text4}, designFont(8.25));

    place(*Text1, 1440, 120, 4095, 285);
    place(*Text2, 1440, 600, 3615, 285);
    place(*Text3, 1440, 1080, 3495, 285);
    place(*Combo1, 1440, 1440, 1095, 330);
    place(*Combo2, 1440, 1920, 1095, 330);
    place(*Text4, 240, 2520, 5295, 1455);
    Text4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text4->setTabChangesFocus(true);
    place(*Picture1, 5160, 600, 255, 240);
    place(*Picture6, 5160, 960, 255, 255);
    place(*Picture5, 3600, 4080, 750, 270);
    place(*Picture4, 4560, 4080, 900, 270);
    place(*lbl_verdict, 240, 4110, 3240, 240);
    lbl_verdict->setFont(designFont(8.25));

    place(*Picture2, 6120, 600, 315, 300);
    place(*Picture3, 6120, 1080, 315, 300);
    place(*ok1, 1320, 4800, 855, 255);
    place(*ok2, 2640, 4800, 375, 135);
    place(*cancel1, 3960, 4680, 735, 255);
    place(*cancel2, 5520, 4680, 495, 255);
    place(*List1, 1680, 5160, 975, 450);
    // Never seen, and a hidden list fills without relaying itself out at every pump.
    List1->hide();
    List1->setFocusPolicy(Qt::NoFocus);

    Picture2->setPicture(art::browseButton(false));
    Picture3->setPicture(art::browseButton(true));
    ok1->setPicture(art::okButton(false));
    ok2->setPicture(art::okButton(true));
    cancel1->setPicture(art::cancelButton(false));
    cancel2->setPicture(art::cancelButton(true));
    Picture1->setPicture(Picture2->picture());
    Picture5->setPicture(ok1->picture());
    Picture4->setPicture(cancel1->picture());

    Picture1->setButton(QStringLiteral("Browse"));
    Picture1->setAccessibleDescription(QStringLiteral("Choose the ROM file"));
    Picture6->setButton(QStringLiteral("Browse"));
    Picture6->setAccessibleDescription(QStringLiteral("Choose the picture file"));
    Picture5->setButton(QStringLiteral("OK"));
    Picture4->setButton(QStringLiteral("Cancel"));
    nameGameFields(Text1, Text2, Text3, Combo1, Combo2, Text4);

    setTabChain(
        {Text1, Text2, Text3, Combo1, Combo2, Text4, Picture1, Picture5, Picture4, Picture6});

    connect(Picture1, &PictureBox::mouseDown, this, &mnu_add_rom::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseUp, this, &mnu_add_rom::Picture1_MouseUp);
    connect(Picture6, &PictureBox::mouseDown, this, &mnu_add_rom::Picture6_MouseDown);
    connect(Picture6, &PictureBox::mouseUp, this, &mnu_add_rom::Picture6_MouseUp);
    connect(Picture4, &PictureBox::mouseDown, this, &mnu_add_rom::Picture4_MouseDown);
    connect(Picture4, &PictureBox::mouseUp, this, &mnu_add_rom::Picture4_MouseUp);
    connect(Picture5, &PictureBox::mouseDown, this, &mnu_add_rom::Picture5_MouseDown);
    connect(Picture5, &PictureBox::mouseUp, this, &mnu_add_rom::Picture5_MouseUp);

    // A verdict on a path no longer in the box would mislead.
    connect(Text2, &QLineEdit::textChanged, this, [this](const QString& path) {
        if (path != lbl_verdict->romPath())
            lbl_verdict->showFor(QString());
    });
    connect(Text2, &QLineEdit::editingFinished, this, [this] {
        if (Text2->text() != m_lastRead)
            readCartridge(Text2->text());
    });
    acceptFileDrops(
        *this,
        [](const QString& path) { return cartridge::hasRomSuffix(path) || hasPictureSuffix(path); },
        [this](const QString& path) { takeDroppedFile(path); }, QStringLiteral("ROM or picture"));
}

void mnu_add_rom::Form_Load()
{
    Picture6->setPicture(Picture2->picture());
}

void mnu_add_rom::Picture1_MouseDown()
{
    Picture1->setPicture(Picture3->picture());
    if (browseGameFile(cd1, GameFile::Rom, *this, *Text2))
        takeRomPath(cd1.FileName);
    Picture1->setPicture(Picture2->picture());
}

void mnu_add_rom::Picture1_MouseUp()
{
    Picture1->setPicture(Picture2->picture());
}

void mnu_add_rom::Picture6_MouseDown()
{
    Picture6->setPicture(Picture3->picture());
    if (browseGameFile(cd1, GameFile::Picture, *this, *Text3))
        Text3->setText(cd1.FileName);
    Picture6->setPicture(Picture2->picture());
}

void mnu_add_rom::Picture6_MouseUp()
{
    Picture6->setPicture(Picture2->picture());
}

void mnu_add_rom::Picture4_MouseDown()
{
    Picture4->setPicture(cancel2->picture());
    hide();
}

void mnu_add_rom::Picture4_MouseUp()
{
    Picture4->setPicture(cancel1->picture());
}

void mnu_add_rom::Picture5_MouseDown()
{
    Picture5->setPicture(ok2->picture());
    saveFromWindow({Text1->text(), Text2->text(), Text3->text(), Combo1->currentText(),
                    Combo2->currentText(), typedText(*Text4)},
                   *List1, *this);
}

void mnu_add_rom::Picture5_MouseUp()
{
    Picture5->setPicture(ok1->picture());
}

void mnu_add_rom::takeRomPath(const QString& path)
{
    Text2->setText(path);
    readCartridge(path);
}

void mnu_add_rom::takeDroppedFile(const QString& path)
{
    if (hasPictureSuffix(path))
        Text3->setText(path);
    else
        takeRomPath(path);
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
    // Only what is still empty: nothing typed is ever replaced.
    if (Text1->text().isEmpty())
        Text1->setText(details.name);
    if (Combo1->currentText().isEmpty())
        setComboText(*Combo1, details.gameType);
    if (Combo2->currentText().isEmpty() && !details.size.isEmpty())
        setComboText(*Combo2, details.size);
}

void mnu_add_rom::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels, as the cancel picture does.
    if (event->key() == Qt::Key_Escape) {
        Picture4_MouseDown();
        Picture4_MouseUp();
        return;
    }
    Form::keyPressEvent(event);
}

QWidget* mnu_add_rom::keyboardStart()
{
    return Text1;
}

} // namespace vx
