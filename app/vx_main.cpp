#include "app/vx_main.h"

#include "add/mnu_add_rom.h"
#include "app/copy_export.h"
#include "app/hubimport.h"
#include "app/main_close.h"
#include "app/startupreading.h"
#include "art/art.h"
#include "browser/mnu_list.h"
#include "core/cartridge.h"
#include "core/catalogue.h"
#include "core/copytemporary.h"
#include "core/filesearch.h"
#include "core/listfile.h"
#include "core/recordlookup.h"
#include "core/reentry.h"
#include "core/textfile.h"
#include "core/verifier.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_about.h"
#include "setup/mnu_options.h"
#include "setup/mnu_setup.h"
#include "ui/base/indexevents.h"
#include "ui/base/mnu_error.h"
#include "ui/busypointer.h"
#include "ui/filedrops.h"
#include "ui/forms.h"
#include "ui/popupmenu.h"
#include "ui/strayclicks.h"
#include "ui/sys_procs.h"
#include "ui/units.h"
#include "ui/verdictlabel.h"
#include "ui/vx_modules.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <cmath>
#include <memory>

namespace vx
{

namespace
{

// The hub whose load held back the rest of start-up, until that has run; whether its reading
// is under way on a worker thread; which start-up a reading belongs to (a test starts many).
struct HeldBack {
    QPointer<main> hub;
    bool reading = false;
    quint64 generation = 0;
};

HeldBack& heldBackState()
{
    static HeldBack state;
    return state;
}

QPointer<main>& heldBack()
{
    return heldBackState().hub;
}

constexpr int kUnpaintedFinishMs = 200;

void reportUnreadableIndex()
{
    VX_modules::show_notice(QStringLiteral("Your ROM archives main index file could not be read."),
                            QStringLiteral("Check that the bin folder can be read."));
}

// Start-up's repair of a missing index, and of the bin folder when a first run was cut short
// before making it.
void recreateIndex()
{
    const QString index = catalogue::indexPath();
    const catalogue::WriteLock lock;
    // Something there that the folder search does not show (a folder, an unreadable bin) is
    // never replaced.
    if (pathTaken(index)) {
        reportUnreadableIndex();
        return;
    }
    mnu_error::get().showNotice(
        QStringLiteral("Your ROM archives main index file has been deleted or moved."),
        QStringLiteral("New index created."));
    makeFolder(catalogue::binPath());
    // Saying a new index was made when none could be would mislead.
    if (!lock.held() || !sys_procs::write_text_file(QString(), index))
        mnu_error::get().showNotice(
            QStringLiteral("Your ROM archives main index file could not be created."),
            QStringLiteral("Check that the bin folder can be written."));
}

// The DAT the settings name, read in the background; one that cannot be read any more is
// reported, and no verdicts are shown.
void useStoredDat()
{
    const QString path = catalogue::datPath();
    if (path.isEmpty())
        return;
    Verifier::get().readDat(path, [path](const datfile::Loaded& loaded) {
        // Setup may have set another meanwhile.
        if (catalogue::datPath() != path)
            return;
        if (loaded.dat)
            Verifier::get().useDat(loaded.dat, path);
        else
            VX_modules::show_notice(QStringLiteral("The DAT set in Setup could not be read."),
                                    loaded.error);
    });
}

} // namespace

main& main::get()
{
    return lazyForm<main>();
}

main::main()
    : Form(QStringLiteral("main")), Label1(new Label(QStringLiteral("Label1"), this)),
      Label2(new Label(QStringLiteral("Label2"), this)),
      Label9(new Label(QStringLiteral("Label9"), this)),
      Label10(new Label(QStringLiteral("Label10"), this)),
      Label4(new Label(QStringLiteral("Label4"), this, QStringLiteral("Add ROM"))),
      Label5(new Label(QStringLiteral("Label5"), this, QStringLiteral("Edit ROM"))),
      Label6(new Label(QStringLiteral("Label6"), this, QStringLiteral("Copy ROM"))),
      Label7(new Label(QStringLiteral("Label7"), this, QStringLiteral("Export ROM"))),
      Label8(new Label(QStringLiteral("Label8"), this, QStringLiteral("View ROM"))),
      Label11(new Label(QStringLiteral("Label11"), this, QStringLiteral("Setup"))),
      Label12(new Label(QStringLiteral("Label12"), this, QStringLiteral("About/Help"))),
      Label3(new Label(QStringLiteral("Label3"), this)),
      lbl_title1(new Label(QStringLiteral("lbl_title1"), this, QStringLiteral("[None]"))),
      Image1(new ImageBox(QStringLiteral("Image1"), this)),
      Label13(new Label(QStringLiteral("Label13"), this)),
      Label14(new Label(QStringLiteral("Label14"), this)),
      Label15(new Label(QStringLiteral("Label15"), this)),
      Label16(new Label(QStringLiteral("Label16"), this)),
      Label17(new VerdictLabel(QStringLiteral("Label17"), this)),
      file_path(new Label(QStringLiteral("file_path"), this))
{
    setWindowTitle(QStringLiteral("Vexloutil"));
    setOwner(this);
    ignoreStrayDoubleClicks();
    setClientSize(10620, 5220);
    setBackground(art::hubBackground());
    // The hub first appears in the middle of the screen; the windows it opens sit beside it.
    const QSizeF screen = screenSizeTwips();
    setLeft(std::max(0.0, std::floor((screen.width() - Width()) / 2)));
    setTop(std::max(0.0, std::floor((screen.height() - Height()) / 2)));

    place(*Label1, 480, 0, 9375, 375);
    place(*Label2, 0, 0, 375, 375);
    place(*Label9, 9960, 0, 255, 375);
    place(*Label10, 10320, 0, 255, 375);
    Label1->setAccessibleName(QStringLiteral("Move"));
    Label2->setAccessibleName(QStringLiteral("Window menu"));
    Label9->setAccessibleName(QStringLiteral("Minimize"));
    Label10->setAccessibleName(QStringLiteral("End"));

    const QFont commandFont = designFont(8.25, true, true);
    double top = 600;
    for (Label* command : commands()) {
        command->setFont(commandFont);
        placeAt(*command, 120, top);
        command->setAutoSize(true);
        command->setAccessibleName(command->text());
        command->setFocusPolicy(Qt::TabFocus);
        command->setCursor(Qt::PointingHandCursor);
        top += 240;
    }

    // The detail view.
    const QFont detailFont = designFont(8.25);
    place(*Label3, 1560, 1080, 4095, 3975);
    Label3->setFont(detailFont);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeAt(*lbl_title1, 1440, 600);
    lbl_title1->setFont(designFont(9.75, true, true));
    lbl_title1->setMaximumWidth(twipsToPixels(4400));
    lbl_title1->setAutoSize(true);
    place(*Image1, 6000, 480, 4575, 3015);
    for (auto [label, labelTop] : {std::pair{Label13, 3960}, {Label14, 4200}, {Label15, 4440}}) {
        placeAt(*label, 6120, labelTop);
        label->setFont(detailFont);
        label->setAutoSize(true);
    }
    place(*Label16, 6120, 4680, 4245, 450);
    Label16->setFont(detailFont);
    Label16->setWordWrap(true);
    Label16->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(*Label17, 6120, 4920, 4245, 240);
    Label17->setFont(detailFont);
    // The viewed ROM's path once more, too small to be read there; blue as every label. Export
    // takes the path from the viewed game, not from here.
    place(*file_path, 600, 4320, 255, 135);

    connect(Label1, &Label::mouseDown, this, &main::Label1_MouseDown);
    connect(Label2, &Label::clicked, this, &main::Label2_Click);
    connect(Label4, &Label::clicked, this, &main::Label4_Click);
    connect(Label5, &Label::clicked, this, &main::Label5_Click);
    connect(Label6, &Label::clicked, this, &main::Label6_Click);
    connect(Label7, &Label::clicked, this, &main::Label7_Click);
    connect(Label8, &Label::clicked, this, &main::Label8_Click);
    connect(Label9, &Label::clicked, this, &main::Label9_Click);
    connect(Label10, &Label::clicked, this, &main::Label10_Click);
    connect(Label11, &Label::clicked, this, &main::Label11_Click);
    connect(Label12, &Label::clicked, this, &main::Label12_Click);
    for (Label* command : commands())
        connect(command, &Label::mouseMoved, command,
                [command] { command->setForeColor(kHoverColor); });
    connect(this, &Form::surfaceMouseMoved, this, &main::Form_MouseMove);
    connect(&Verifier::get(), &Verifier::datChanged, this, [this] {
        if (m_viewed)
            showRomPath(m_viewed->record.file);
    });
    // A save or a Clear: the browser first takes the index as start-up would have, and after a
    // save the index as written.
    connect(&IndexEvents::get(), &IndexEvents::aboutToWrite, this, &main::finishStartup);
    connect(&IndexEvents::get(), &IndexEvents::saved, this,
            [this](const TextList& index) { browser().takeSavedIndex(index); });
    connect(&IndexEvents::get(), &IndexEvents::renamed, this, &main::followRename);
    // One ROM opens the add window for it; several, or a folder, are imported, once the drop is
    // over (the import waits on its reading, which the drag's source must not).
    acceptFileDrops(
        *this, &cartridge::hasRomSuffix, [this](const QString& path) { addDroppedRom(path); },
        QStringLiteral("ROM"),
        [this](const QStringList& paths) {
            QTimer::singleShot(0, this, [this, paths] { importRoms(*this, paths); });
        });
}

QString main::missingRomText()
{
    return QStringLiteral("ROM file not found");
}

void main::showGame(const QString& title, const catalogue::Record& record)
{
    m_viewed = ViewedGame{title, record};
    lbl_title1->setCaption(title);
    // The picture follows once decoded; an empty, missing or unreadable one leaves it empty.
    Image1->loadPicture(record.image);
    Label3->setCaption(record.desc);
    Label13->setCaption(QStringLiteral("Game type: ") + record.gametype);
    Label14->setCaption(QStringLiteral("Game Size: ") + record.size + QStringLiteral(" Mbytes"));
    showRomPath(record.file);
    file_path->setCaption(record.file);

    const QFileInfo rom(record.file);
    const QString length = !record.file.isEmpty() && !isWindowsOnlyPath(record.file) && rom.isFile()
                               ? QString::number(rom.size()) + QStringLiteral(" bytes")
                               : missingRomText();
    Label15->setCaption(QStringLiteral("Average File Size: ") + length);
}

void main::followRename(const QString& from, const QString& to)
{
    if (m_viewed && m_viewed->title == from)
        showGame(to, catalogue::readRecord(catalogue::findRecord(to)));
}

void main::forgetGame(const QString& title)
{
    mnu_edit_rom::get().closeIfRemoved();
    if (!m_viewed || m_viewed->title != title)
        return;
    m_viewed.reset();
    lbl_title1->setCaption(QStringLiteral("[None]"));
    Image1->loadPicture(QString());
    for (Label* line : {Label3, Label13, Label14, Label15, Label16, file_path})
        line->setCaption(QString());
}

void main::showRomPath(const QString& path)
{
    const QString line = QStringLiteral("File Path: ") + path;
    // The verdict takes the path's second line: a long path is shortened in its middle then,
    // and shown whole under the pointer.
    if (Verifier::get().hasDat()) {
        if (m_shortened.line != line || m_shortened.width != Label16->width())
            m_shortened = {
                line, Label16->width(),
                Label16->fontMetrics().elidedText(line, Qt::ElideMiddle, Label16->width())};
        Label16->setCaption(m_shortened.text);
        Label16->setToolTip(path);
    } else {
        Label16->setCaption(line);
        Label16->setToolTip(QString());
    }
    Label17->showFor(path);
}

QList<Label*> main::commands() const
{
    return {Label4, Label5, Label6, Label7, Label8, Label11, Label12};
}

void main::Form_Load()
{
    // First run: the setup creates the settings, bin and the index, then shows the hub again.
    if (!sys_procs::file_exists(catalogue::settingsPath())) {
        hide();
        // Touching the setup window loads it; its load does the whole setup and shows the hub.
        mnu_setup::get();
    }

    if (!sys_procs::file_exists(catalogue::indexPath()))
        recreateIndex();

    placeAt(*lbl_title1, 1440, 600 - 56);
    place(*Image1, 6000 - 75, 480 - 10, 4575, 3015 + 98);

    HeldBack& state = heldBackState();
    state.hub = this;
    state.reading = false;
    ++state.generation;
    QTimer::singleShot(kUnpaintedFinishMs, this, &main::beginStartup);
}

void main::beginStartup()
{
    HeldBack& state = heldBackState();
    if (!state.hub || state.reading)
        return;
    state.reading = true;
    // A record lookup meanwhile waits for this reading of bin rather than making its own.
    catalogue::setBinReadingPending(&main::finishStartup);
    const quint64 generation = state.generation;
    startupReadings().start([generation] {
        auto reading = std::make_shared<StartupReading>(readForStartup());
        QMetaObject::invokeMethod(
            qApp, [generation, reading] { takeStartupReading(generation, *reading); },
            Qt::QueuedConnection);
    });
}

void main::finishStartup()
{
    beginStartup();
    if (!heldBack())
        return;
    // Painting and timers go on; clicks wait, as for the catalogue's lock.
    const BusyPointer busy;
    while (heldBack())
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 20);
}

void main::takeStartupReading(quint64 generation, StartupReading& reading)
{
    HeldBack& state = heldBackState();
    main* const hub = state.hub;
    if (!hub || generation != state.generation)
        return;
    state.hub = nullptr;
    state.reading = false;
    catalogue::setBinReadingPending(nullptr);

    // A rewrite cut short by a crash or power loss leaves its temporary; the file it was
    // replacing is whole, so the temporary is only clutter. A write under way on a worker is
    // recorded, and its temporary kept.
    catalogue::removeStrayTemporaries(reading.strays);
    // So is what an export killed midway left on a file system without unnamed files; the
    // export folder may be large or on a slow share, so it is looked at on a thread of its own.
    const QString exportFolder = catalogue::exportFolder();
    if (!exportFolder.isEmpty() && !isWindowsOnlyPath(exportFolder))
        removeDeadCopyTemporariesInBackground(
            QFileInfo(exportTarget(exportFolder, QStringLiteral("rom"))).path());

    useStoredDat();

    mnu_list& browser = hub->browser();
    browser.hide();
    // In one step: a View ROM or a save handled between steps would find the list half filled
    // and then see the rest added after its own.
    if (reading.indexBytes) {
        // View ROM and Edit ROM read the same bytes again.
        listfile::rememberParsed(*reading.indexBytes, reading.index, reading.form);
        browser.takeIndex(reading.index);
    } else if (reading.indexTaken) {
        reportUnreadableIndex();
    }
}

bool main::startupPending() const
{
    return heldBack() == this;
}

void main::paintEvent(QPaintEvent* event)
{
    Form::paintEvent(event);
    // Queued, so this paint reaches the screen before the held-back work begins.
    if (startupPending())
        QMetaObject::invokeMethod(this, &main::beginStartup, Qt::QueuedConnection);
}

void main::openHubMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    lookLikeTheWindows(menu);
    const QAction* folder = menu.addAction(QStringLiteral("Import a ROM Folder\u2026"));
    const QAction* files = menu.addAction(QStringLiteral("Import ROM Files\u2026"));
    menu.addSeparator();
    const QAction* rebuild = menu.addAction(QStringLiteral("Rebuild the Index"));
    const QAction* chosen = menu.exec(globalPos);
    if (chosen == folder || chosen == files)
        chooseAndImport(*this, chosen == folder);
    else if (chosen == rebuild)
        rebuildIndex();
}

void main::contextMenuEvent(QContextMenuEvent* event)
{
    // The keys are taken below, whether or not the platform turns them into this event.
    if (event->reason() != QContextMenuEvent::Keyboard)
        openHubMenu(event->globalPos());
}

void main::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        const QWidget* focused = focusWidget();
        const QPoint at = focused ? focused->mapToGlobal(QPoint(0, focused->height()))
                                  : mapToGlobal(QPoint(width() / 4, height() / 4));
        openHubMenu(at);
        return;
    }
    Form::keyPressEvent(event);
}

void main::openBeside(Form& window, double offset)
{
    // One on screen is only placed again: taken off the screen and back at once, a window can
    // lose what the window manager keeps for it (always on top).
    window.setTop(Top() + offset);
    window.setLeft(Left() + 300);
    window.showOnTop(window.keyboardStart());
}

mnu_list& main::browser()
{
    mnu_list& browser = mnu_list::get();
    connect(&browser, &mnu_list::gameChosen, this, &main::showGame, Qt::UniqueConnection);
    connect(&browser, &ListWindow::gameRemoved, this, &main::forgetGame, Qt::UniqueConnection);
    return browser;
}

edit_rom_list& main::picker()
{
    edit_rom_list& picker = edit_rom_list::get();
    connect(&picker, &edit_rom_list::gameOpened, this, &main::showEditor, Qt::UniqueConnection);
    connect(&picker, &ListWindow::gameRemoved, this, &main::forgetGame, Qt::UniqueConnection);
    return picker;
}

void main::showEditor()
{
    openBeside(mnu_edit_rom::get(), 1860);
}

void main::openOptions()
{
    openBeside(mnu_options::get(), 680);
}

void main::offerOptions()
{
    mnu_options& options = mnu_options::get();
    options.hide();
    options.setTop(Top() + 700);
    options.setLeft(Left() + 300);
    options.show();
    options.bringToFront(options.keyboardStart());
}

void main::Label1_MouseDown()
{
    startWindowDrag(*this);
}

void main::Label2_Click()
{
    main_close& strip = main_close::get();
    strip.hide();
    strip.setTop(Top());
    strip.setLeft(Left());
    // Not topmost, but it belongs to the hub (as every window does): a click on the hub does not
    // bury it.
    strip.show();
    strip.bringToFront(strip.keyboardStart());
}

void main::Label4_Click()
{
    openBeside(mnu_add_rom::get(), 700);
}

void main::addDroppedRom(const QString& path)
{
    Label4_Click();
    mnu_add_rom::get().takeRomPath(path);
}

void main::Label5_Click()
{
    ReentryGuard guard(m_editing);
    if (!guard.entered())
        return;
    edit_rom_list& picker = this->picker();
    // Refilled while hidden: a visible list relays itself out at every pump of the fill.
    picker.hide();
    picker.setTop(Top() + 930);
    picker.setLeft(Left() + 300);
    if (!picker.readIndex(catalogue::indexPath()))
        reportUnreadableIndex();
    picker.showIndex();
}

void main::Label6_Click()
{
    copyRom(*this);
}

void main::Label7_Click()
{
    exportRom(*this);
}

void main::Label8_Click()
{
    ReentryGuard guard(m_viewing);
    if (!guard.entered())
        return;
    // Its list is emptied and read again below, but a fill still held back would add to it later.
    finishStartup();
    mnu_list& browser = this->browser();
    // Refilled while hidden: a visible list relays itself out at every pump of the fill.
    browser.hide();
    browser.setTop(Top() + 1860);
    browser.setLeft(Left() + 300);
    if (!browser.readIndex(catalogue::indexPath()))
        reportUnreadableIndex();
    browser.showIndex();
}

void main::Label9_Click()
{
    minimizeWindow(*this);
}

void main::Label10_Click()
{
    endProgram();
}

void main::Label11_Click()
{
    openOptions();
}

void main::Label12_Click()
{
    openBeside(mnu_about::get(), 2090);
}

void main::Form_MouseMove()
{
    for (Label* command : commands()) {
        if (command->foreColor() == kHoverColor)
            command->setForeColor(kRestColor);
    }
}

} // namespace vx
