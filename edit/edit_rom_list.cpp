#include "edit/edit_rom_list.h"

#include "art/art.h"
#include "core/catalogue.h"
#include "core/recordlookup.h"
#include "core/reentry.h"
#include "edit/mnu_edit_rom.h"
#include "ui/base/mnu_error.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/units.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vx
{

edit_rom_list& edit_rom_list::get()
{
    return lazyForm<edit_rom_list>();
}

edit_rom_list::edit_rom_list()
    : Form(QStringLiteral("edit_rom_list"), Qt::FramelessWindowHint | Qt::Tool),
      rom_list(new ListBox(this)),
      Label1(new Label(QStringLiteral("Label1"), this, QStringLiteral("Double click to select"))),
      Label2(new Label(QStringLiteral("Label2"), this, QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("Edit ROM"));
    setClientSize(2490, 3585);
    setBackground(art::listBackground());

    rom_list->setObjectName(QStringLiteral("rom_list"));
    place(*rom_list, 120, 120, 2295, 2970);
    rom_list->setFont(designFont(8.25));
    QPalette pal = rom_list->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, colorFromBgr(0xFF0000));
    rom_list->setPalette(pal);

    place(*Label1, 120, 3240, 1515, 210);
    // The hint keeps its box, clear of Cancel; where the font runs wider than the designed one,
    // its letters close up rather than lose the end of the text.
    QFont hintFont = designFont(8.25);
    const QString hint = Label1->caption();
    const int overrun = QFontMetrics(hintFont).horizontalAdvance(hint) - Label1->width();
    if (overrun > 0)
        hintFont.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overrun) / qreal(hint.size()));
    Label1->setFont(hintFont);
    Label1->setForeColor(0xFF8080);

    place(*Label2, 1680, 3240, 630, 240);
    Label2->setFont(designFont(9.75, true, true));
    Label2->setForeColor(0xFF0000);
    Label2->setAccessibleName(QStringLiteral("Cancel"));
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setCursor(Qt::PointingHandCursor);

    // A choice is a selection made by the user: a press on an entry or a keyboard move. The
    // current row alone is not enough, since the list makes its first entry current (without
    // selecting it) when it gains focus, and emptying the list clears the selection.
    connect(rom_list, &ListBox::entrySelected, this, &edit_rom_list::rom_list_Click);
    connect(Label2, &Label::clicked, this, &edit_rom_list::Label2_Click);
}

void edit_rom_list::rom_list_Click()
{
    // Removing a missing entry and the slide both run events; a choice meanwhile is ignored.
    ReentryGuard guard(m_choosing);
    if (!guard.entered())
        return;
    const int row = rom_list->selectedRow();
    if (row < 0)
        return;
    QString name = rom_list->text(row);
    // A plain look at the file, as the browser takes: a name with a leading dot has a record
    // the folder search would pass over as hidden.
    const QString recordPath = catalogue::findRecord(name);
    if (recordPath.isEmpty()) {
        mnu_error::get().showNotice(QStringLiteral("This Games data file is missing or deleted."),
                                    QStringLiteral("Deleting Entry"));
        // Only the list on screen loses the entry; the index keeps it.
        rom_list->removeItem(row);
        rom_list->setCurrentRow(-1);
        rom_list->clearSelection();
        name.clear();
    }

    mnu_edit_rom::get().open(name, catalogue::readRecord(recordPath));
    sys_procs::slide_out_left(*this);
    emit gameOpened();
}

bool edit_rom_list::readIndex(const QString& path)
{
    rom_list->clear();
    return sys_procs::load_list(path, *rom_list);
}

void edit_rom_list::showIndex()
{
    showOnTop(rom_list);
}

void edit_rom_list::Label2_Click()
{
    sys_procs::slide_out_left(*this);
}

} // namespace vx
