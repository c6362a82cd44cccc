#include "edit/mnu_edit_rom.h"

#include "art/art.h"
#include "core/cartridge.h"
#include "core/gamesave.h"
#include "ui/base/gamesaving.h"
#include "ui/filedrops.h"
#include "ui/formbuild.h"
#include "ui/forms.h"
#include "ui/gamebrowse.h"
#include "ui/listbox.h"
#include "ui/sys_procs.h"
#include "ui/units.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vx
{

mnu_edit_rom& mnu_edit_rom::get()
{
    return lazyForm<mnu_edit_rom>();
}

mnu_edit_rom::mnu_edit_rom()
    : Form(QStringLiteral("mnu_edit_rom"), Qt::FramelessWindowHint | Qt::Tool),
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
      Picture2(new PictureBox(QStringLiteral("Picture2"), this)),
      Picture3(new PictureBox(QStringLiteral("Picture3"), this)),
      Picture4(new PictureBox(QStringLiteral("Picture4"), this)),
      Text5(makeControl<QLineEdit>(QStringLiteral("Text5"), this)),
      List1(makeControl<ListBox>(QStringLiteral("List1"), this)),
      find1(new PictureBox(QStringLiteral("find1"), this)),
      find2(new PictureBox(QStringLiteral("find2"), this)),
      ok1(new PictureBox(QStringLiteral("ok1"), this)),
      ok2(new PictureBox(QStringLiteral("ok2"), this)),
      cancel1(new PictureBox(QStringLiteral("cancel1"), this)),
      cancel2(new PictureBox(QStringLiteral("cancel2"), this))
{
    setWindowTitle(QStringLiteral("Edit ROM"));
    setClientSize(5745, 4470);
    setBackground(art::editBackground());

    setFonts({Text1, Text2, Text3, Combo1, Combo2, Text4}, designFont(8.25));

    place(*Text1, 1440, 120, 4095, 285);
    place(*Text2, 1440, 600, 3495, 285);
    place(*Text3, 1440, 960, 3495, 285);
    place(*Combo1, 1440, 1440, 1215, 315);
    place(*Combo2, 1440, 1920, 1215, 315);
    place(*Text4, 120, 2520, 5415, 1335);
    Text4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text4->setTabChangesFocus(true);
    place(*Picture1, 5160, 600, 285, 270);
    place(*Picture2, 5160, 1080, 255, 255);
    place(*Picture3, 3720, 3960, 975, 255);
    place(*Picture4, 4560, 3960, 735, 255);

    // Working controls and image stores, out of sight below the client area.
    place(*Text5, 4320, 4680, 855, 285);
    place(*List1, 3240, 4680, 615, 255);
    place(*find1, 5280, 4560, 315, 300);
    place(*find2, 5280, 4920, 315, 300);
    place(*ok1, 600, 4680, 855, 375);
    place(*ok2, 600, 5040, 855, 375);
    place(*cancel1, 1440, 4680, 1215, 375);
    place(*cancel2, 1440, 5040, 1215, 375);
    for (QWidget* hidden : {static_cast<QWidget*>(Text5), static_cast<QWidget*>(List1)})
        hidden->setFocusPolicy(Qt::NoFocus);
    // Never seen: a hidden list of one-line entries fills without measuring each of them.
    List1->hide();
    find1->setPicture(art::browseButton(false));
    find2->setPicture(art::browseButton(true));
    ok1->setPicture(art::okButton(false));
    ok2->setPicture(art::okButton(true));
    cancel1->setPicture(art::cancelButton(false));
    cancel2->setPicture(art::cancelButton(true));
    Picture1->setPicture(find1->picture());

    Picture1->setButton(QStringLiteral("Browse"));
    Picture2->setButton(QStringLiteral("Browse"));
    Picture3->setButton(QStringLiteral("OK"));
    Picture4->setButton(QStringLiteral("Cancel"));
    nameGameFields(Text1, Text2, Text3, Combo1, Combo2, Text4);

    setTabChain(
        {Text1, Text2, Text3, Combo1, Combo2, Text4, Picture1, Picture2, Picture3, Picture4});

    connect(Picture1, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseUp, this, &mnu_edit_rom::Picture1_MouseUp);
    connect(Picture2, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture2_MouseDown);
    connect(Picture2, &PictureBox::mouseUp, this, &mnu_edit_rom::Picture2_MouseUp);
    connect(Picture3, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture3_MouseDown);
    connect(Picture3, &PictureBox::mouseUp, this, &mnu_edit_rom::Picture3_MouseUp);
    connect(Picture3, &PictureBox::clicked, this, &mnu_edit_rom::Picture3_Click);
    connect(Picture4, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture4_MouseDown);
    connect(Picture4, &PictureBox::mouseUp, this, &mnu_edit_rom::Picture4_MouseUp);
    connect(Picture4, &PictureBox::clicked, this, &mnu_edit_rom::Picture4_Click);

    // A dropped file only sets its path; the other boxes are the user's to change.
    acceptFileDrops(
        *this,
        [](const QString& path) { return cartridge::hasRomSuffix(path) || hasPictureSuffix(path); },
        [this](const QString& path) { (hasPictureSuffix(path) ? Text3 : Text2)->setText(path); },
        QStringLiteral("ROM or picture"));
}

void mnu_edit_rom::Form_Load()
{
    Picture2->setPicture(Picture1->picture());
    Picture3->setPicture(ok1->picture());
    Picture4->setPicture(cancel1->picture());
}

void mnu_edit_rom::open(const QString& name, const catalogue::Record& record)
{
    Text1->setText(name);
    Text5->setText(name);
    Text2->setText(record.file);
    Text3->setText(record.image);
    Text4->setPlainText(record.desc);
    setComboText(*Combo1, record.gametype);
    setComboText(*Combo2, record.size);
    // Long paths show from their start, as typed.
    for (QLineEdit* box : {Text1, Text2, Text3})
        box->setCursorPosition(0);
}

// The browse buttons open the add window's dialogs; only the path box changes, as on a drop.
void mnu_edit_rom::Picture1_MouseDown()
{
    Picture1->setPicture(find2->picture());
    if (browseGameFile(cd1, GameFile::Rom, *this, *Text2))
        Text2->setText(cd1.FileName);
    Picture1->setPicture(find1->picture());
}

void mnu_edit_rom::Picture1_MouseUp()
{
    Picture1->setPicture(find1->picture());
}

void mnu_edit_rom::Picture2_MouseDown()
{
    Picture2->setPicture(find2->picture());
    if (browseGameFile(cd1, GameFile::Picture, *this, *Text3))
        Text3->setText(cd1.FileName);
    Picture2->setPicture(find1->picture());
}

void mnu_edit_rom::Picture2_MouseUp()
{
    Picture2->setPicture(find1->picture());
}

void mnu_edit_rom::Picture3_MouseDown()
{
    Picture3->setPicture(ok2->picture());
}

void mnu_edit_rom::Picture3_MouseUp()
{
    Picture3->setPicture(ok1->picture());
}

void mnu_edit_rom::Picture3_Click()
{
    // A name box that differs from the name the game was opened under renames it; before any
    // game is opened there is nothing to rename.
    const QString openedAs = Text5->text();
    const GameEntry entry{openedAs.isEmpty() ? openedAs : Text1->text(),
                          Text2->text(),
                          Text3->text(),
                          Combo1->currentText(),
                          Combo2->currentText(),
                          typedText(*Text4),
                          openedAs};
    saveFromWindow(entry, *List1, *this);
}

void mnu_edit_rom::Picture4_MouseDown()
{
    Picture4->setPicture(cancel2->picture());
}

void mnu_edit_rom::Picture4_MouseUp()
{
    Picture4->setPicture(cancel1->picture());
}

void mnu_edit_rom::Picture4_Click()
{
    sys_procs::slide_out_left(*this);
}

void mnu_edit_rom::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the window as its Cancel picture does.
    if (event->key() == Qt::Key_Escape) {
        Picture4_MouseDown();
        Picture4_MouseUp();
        Picture4_Click();
        return;
    }
    Form::keyPressEvent(event);
}

QWidget* mnu_edit_rom::keyboardStart()
{
    return Text1;
}

} // namespace vx
