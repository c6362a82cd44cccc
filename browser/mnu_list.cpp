#include "browser/mnu_list.h"

#include "art/art.h"
#include "core/catalogue.h"
#include "core/filesearch.h"
#include "core/recordlookup.h"
#include "core/reentry.h"
#include "ui/base/mnu_error.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/units.h"
#include "ui/vx_modules.h"

#include <QFileInfo>
#include <QKeyEvent>

namespace vx
{

namespace
{

bool isActivationKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

} // namespace

mnu_list& mnu_list::get()
{
    return lazyForm<mnu_list>();
}

mnu_list::mnu_list()
    : Form(QStringLiteral("mnu_list"), Qt::FramelessWindowHint | Qt::Tool),
      rom_list(new ListBox(this)),
      Label1(new Label(QStringLiteral("Label1"), this, QStringLiteral("Double click to select"))),
      Label2(new Label(QStringLiteral("Label2"), this, QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("View ROM"));
    setClientSize(2505, 3585);
    setBackground(art::listBackground());

    rom_list->setObjectName(QStringLiteral("rom_list"));
    place(*rom_list, 120, 120, 2295, 2970);
    rom_list->setFont(designFont(8.25));
    rom_list->setAccessibleName(QStringLiteral("Games"));
    QPalette pal = rom_list->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, colorFromBgr(0xFF0000));
    rom_list->setPalette(pal);
    rom_list->installEventFilter(this);

    placeAt(*Label1, 120, 3240);
    Label1->setFont(designFont(8.25));
    Label1->setForeColor(0xFF8080);
    Label1->setAutoSize(true);

    placeAt(*Label2, 1680, 3240);
    Label2->setFont(designFont(9.75, true, true));
    Label2->setForeColor(0xFF0000);
    Label2->setAutoSize(true);
    Label2->setAccessibleName(QStringLiteral("Cancel"));
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setCursor(Qt::PointingHandCursor);

    connect(rom_list, &ListBox::itemDoubleClicked, this, &mnu_list::rom_list_DblClick);
    connect(Label2, &Label::clicked, this, &mnu_list::Label2_Click);
}

void mnu_list::Form_Load()
{
    VX_modules::remove_duplicates(*rom_list);
}

void mnu_list::rom_list_DblClick()
{
    // The slide pumps events; a second double click meanwhile is ignored.
    ReentryGuard guard(m_viewing);
    if (!guard.entered())
        return;

    // Nothing selected (a double click on the bare list): nothing to show.
    const int row = rom_list->currentRow();
    if (row < 0 || row != rom_list->selectedRow())
        return;

    const QString name = rom_list->text(row);
    const QString recordPath = catalogue::findRecord(name);
    if (recordPath.isEmpty()) {
        mnu_error::get().showNotice(QStringLiteral("This Games data file is missing or deleted."),
                                    QStringLiteral("Deleting Entry"));
        // Off the screen only: the index keeps the name.
        rom_list->removeItem(row);
        // The detail view keeps the last game shown, and the browser stays for another choice.
        return;
    }

    emit gameChosen(name, catalogue::readRecord(recordPath));

    sys_procs::slide_out_left(*this);
}

void mnu_list::takeIndex(const TextList& names)
{
    rom_list->addItems(names);
}

bool mnu_list::readIndex(const QString& path)
{
    rom_list->clear();
    return sys_procs::load_list(path, *rom_list);
}

void mnu_list::showIndex()
{
    VX_modules::remove_duplicates(*rom_list);
    // A hand-written index without the empty first line keeps its first name.
    if (rom_list->count() > 0 && rom_list->text(0).isEmpty())
        rom_list->removeItem(0);
    showOnTop(rom_list);
}

void mnu_list::takeSavedIndex(const TextList& index)
{
    hide();
    sys_procs::appendItems(*rom_list, index);
}

void mnu_list::Label2_Click()
{
    hide();
}

bool mnu_list::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on the list views the selected game, as a double click does.
    if (watched == rom_list && event->type() == QEvent::KeyPress &&
        isActivationKey(*static_cast<QKeyEvent*>(event))) {
        // The keyboard's cursor shows on a row from the moment the list has the focus: Enter
        // views that row even before an arrow has selected it.
        const int current = rom_list->currentRow();
        if (current >= 0 && rom_list->selectedRow() < 0)
            rom_list->setCurrentRow(current);
        rom_list_DblClick();
        return true;
    }
    return Form::eventFilter(watched, event);
}

void mnu_list::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Label2_Click();
        return;
    }
    Form::keyPressEvent(event);
}

} // namespace vx
