#include "setup/mnu_options.h"

#include "art/art.h"
#include "core/catalogue.h"
#include "core/gamesave.h"
#include "core/profile.h"
#include "core/pump.h"
#include "core/reentry.h"
#include "core/textcodec.h"
#include "core/textfile.h"
#include "core/verifier.h"
#include "ui/base/indexevents.h"
#include "ui/busypointer.h"
#include "ui/checkbox.h"
#include "ui/dialogs.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/units.h"
#include "ui/vx_modules.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace vx
{

namespace
{

// The writes below wait on the disk off this thread; clicks wait for them, and the pointer says
// so until the window's notice or slide.

bool storeSettings(const QList<profile::Entry>& entries)
{
    const BusyPointer busy;
    const catalogue::WriteLock lock;
    return lock.held() && profile::writeAll(catalogue::settingsPath(), entries);
}

enum class Cleared { Yes, Unreadable, Unwritable };

Cleared clearIndex()
{
    const BusyPointer busy;
    const QString index = catalogue::indexPath();
    const catalogue::WriteLock lock;
    // An index that is there but cannot be read is not the user's to lose unseen.
    if (QFileInfo(index).isFile()) {
        // Read and looked at beside the windows: at a million names that alone would hold them up.
        std::optional<textcodec::Form> form;
        runServingEvents([&] {
            if (const std::optional<QByteArray> old = readWholeFile(index))
                form = textcodec::detectForm(*old);
        });
        if (!form)
            return Cleared::Unreadable;
        // Cleared, it stays in the encoding it was saved in.
        textcodec::remember(index, *form);
    }
    if (!lock.held() || !sys_procs::write_text_file(QString(), index))
        return Cleared::Unwritable;
    return Cleared::Yes;
}

} // namespace

mnu_options& mnu_options::get()
{
    return lazyForm<mnu_options>();
}

mnu_options::mnu_options()
    : Form(QStringLiteral("mnu_options"), Qt::FramelessWindowHint | Qt::Tool),
      Text1(new QLineEdit(this)), Text2(new QLineEdit(this)),
      cmd_dat(new PictureBox(QStringLiteral("cmd_dat"), this)),
      chk_z64(new CheckBox(QStringLiteral("chk_z64"),
                           QStringLiteral("Export in big-endian order (.z64)"), this)),
      cmd_clear(new PictureBox(QStringLiteral("cmd_clear"), this)),
      cmd_ok(new PictureBox(QStringLiteral("cmd_ok"), this)),
      cmd_cancel(new PictureBox(QStringLiteral("cmd_cancel"), this))
{
    setWindowTitle(QStringLiteral("Setup"));
    setClientSize(4320, 4320);
    setBackground(art::optionsBackground());

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Export path"));
    place(*Text1, 1320, 960, 2775, 285);
    Text1->setFont(designFont(8.25));
    Text1->setFrame(false);
    QPalette pal = Text1->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, colorFromBgr(0xC00000));
    Text1->setPalette(pal);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("DAT file"));
    place(*Text2, 1320, 1920, 2295, 285);
    Text2->setFont(designFont(8.25));
    Text2->setFrame(false);
    Text2->setPalette(pal);

    place(*cmd_dat, 3840, 1935, 255, 255);
    place(*chk_z64, 180, 2400, 3915, 285);
    place(*cmd_clear, 1680, 1440, 495, 375);
    place(*cmd_ok, 2280, 3840, 855, 255);
    place(*cmd_cancel, 3240, 3840, 855, 255);
    cmd_dat->setButton(QStringLiteral("Browse"));
    cmd_dat->setAccessibleDescription(QStringLiteral("Choose the DAT file"));
    cmd_clear->setButton(QStringLiteral("Clear"));
    cmd_ok->setButton(QStringLiteral("OK"));
    cmd_cancel->setButton(QStringLiteral("Cancel"));
    cmd_clear->setPictures(art::clearButton(false), art::clearButton(true));
    cmd_ok->setPictures(art::okButton(false), art::okButton(true));
    cmd_cancel->setPictures(art::cancelButton(false), art::cancelButton(true));
    cmd_dat->setPictures(art::browseButton(false), art::browseButton(true));

    setTabOrder(Text1, cmd_clear);
    setTabOrder(cmd_clear, Text2);
    setTabOrder(Text2, cmd_dat);
    setTabOrder(cmd_dat, chk_z64);
    setTabOrder(chk_z64, cmd_ok);
    setTabOrder(cmd_ok, cmd_cancel);

    connect(cmd_ok, &PictureBox::clicked, this, &mnu_options::cmd_ok_Click);
    connect(cmd_cancel, &PictureBox::clicked, this, &mnu_options::cmd_cancel_Click);
    connect(cmd_clear, &PictureBox::clicked, this, &mnu_options::cmd_clear_Click);
    connect(cmd_dat, &PictureBox::clicked, this, &mnu_options::cmd_dat_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &mnu_options::cmd_ok_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &mnu_options::cmd_ok_Click);

    cd1.DialogTitle = QStringLiteral("Choose a DAT file");
    cd1.Filter = QStringLiteral("DAT files (*.dat, *.xml)|*.dat;*.xml|All Files|*.*");
}

void mnu_options::Form_Load()
{
    // Shown as stored, so an OK without typing keeps the folder rather than erasing it.
    Text1->setText(catalogue::exportFolder());
    Text2->setText(catalogue::datPath());
    chk_z64->setChecked(catalogue::exportsBigEndian());
}

void mnu_options::slideAway()
{
    ReentryGuard guard(m_sliding);
    if (!guard.entered())
        return;
    sys_procs::slide_out_left(*this);
}

bool mnu_options::readNewDat(const QString& path, std::shared_ptr<const datfile::Dat>& dat)
{
    const BusyPointer busy;
    std::optional<datfile::Loaded> loaded;
    QEventLoop wait;
    Verifier::get().readDat(path, [&loaded, &wait](const datfile::Loaded& read) {
        loaded = read;
        wait.quit();
    });
    // The windows keep answering for the second or so a large DAT takes.
    if (!loaded)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (!loaded || !loaded->dat) {
        VX_modules::show_notice(QStringLiteral("The DAT could not be read."),
                                loaded ? loaded->error : QString());
        return false;
    }
    dat = loaded->dat;
    return true;
}

void mnu_options::cmd_ok_Click()
{
    if (m_sliding)
        return;
    ReentryGuard guard(m_saving);
    if (!guard.entered())
        return;
    // Stored as it will be read back: without blanks at its ends or one pair of quotes around
    // it, which a folder copied from elsewhere often carries.
    const QString folder = profile::asReadBack(Text1->text());
    const QString datPath = profile::asReadBack(Text2->text());
    QList<profile::Entry> entries{{QStringLiteral("export"), QStringLiteral("path"), folder}};
    // The DAT's section is written only once one is set, so settings without one stay as the
    // earlier versions wrote them.
    const bool datChanged = datPath != catalogue::datPath();
    std::shared_ptr<const datfile::Dat> dat;
    if (datChanged) {
        if (!datPath.isEmpty() && !readNewDat(datPath, dat))
            return;
        entries.append({QStringLiteral("dat"), QStringLiteral("path"), datPath});
    }
    // Also a section of its own, written once the box is first ticked.
    const bool z64 = chk_z64->isChecked();
    if (z64 != catalogue::exportsBigEndian())
        entries.append({QStringLiteral("z64"), QStringLiteral("export"),
                        z64 ? QStringLiteral("1") : QStringLiteral("0")});
    if (!storeSettings(entries)) {
        VX_modules::show_notice(QStringLiteral("The export folder could not be saved."),
                                QStringLiteral("Check that the program folder can be written."));
        return;
    }
    if (datChanged)
        Verifier::get().useDat(dat, datPath);
    slideAway();
}

void mnu_options::cmd_dat_Click()
{
    const QString typed = Text2->text().trimmed();
    if (!typed.isEmpty())
        cd1.FileName = typed;
    if (cd1.ShowOpen(this))
        Text2->setText(cd1.FileName);
}

void mnu_options::cmd_cancel_Click()
{
    slideAway();
}

void mnu_options::cmd_clear_Click()
{
    // A save under way would write back the index it read before and undo the clear.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return;
    const auto answer =
        askQuestion(this, QStringLiteral("Do you want to clear the items?"),
                    QStringLiteral("MsgBox Demonstration"), QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::Critical, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The browser keeps the index it was started with until View ROM reads it again.
    emit IndexEvents::get().aboutToWrite();
    switch (clearIndex()) {
    case Cleared::Yes:
        break;
    case Cleared::Unreadable:
        VX_modules::show_notice(QStringLiteral("The index could not be cleared."),
                                QStringLiteral("Check that the bin folder can be read."));
        break;
    case Cleared::Unwritable:
        VX_modules::show_notice(QStringLiteral("The index could not be cleared."),
                                QStringLiteral("Check that the bin folder can be written."));
        break;
    }
}

void mnu_options::keyPressEvent(QKeyEvent* event)
{
    // Escape puts the window away as its Cancel picture does.
    if (event->key() == Qt::Key_Escape) {
        cmd_cancel_Click();
        return;
    }
    Form::keyPressEvent(event);
}

QWidget* mnu_options::keyboardStart()
{
    return Text1;
}

} // namespace vx
