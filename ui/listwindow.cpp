#include "ui/listwindow.h"

#include "art/art.h"
#include "core/gameremove.h"
#include "core/pump.h"
#include "core/recordlookup.h"
#include "core/reentry.h"
#include "ui/base/indexevents.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/findstrip.h"
#include "ui/popupmenu.h"
#include "ui/sys_procs.h"
#include "ui/units.h"
#include "ui/vx_modules.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

namespace vx
{

ListWindow::ListWindow(const Look& look)
    : Form(look.name, Qt::FramelessWindowHint | Qt::Tool), rom_list(new ListBox(this)),
      Label1(new Label(QStringLiteral("Label1"), this, QStringLiteral("Double click to select"))),
      Label2(new Label(QStringLiteral("Label2"), this, QStringLiteral("Cancel"))), m_strip(nullptr)
{
    setWindowTitle(look.title);
    setClientSize(look.width, 3585);
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

    QFont hintFont = designFont(8.25);
    Label1->setForeColor(0xFF8080);
    Label2->setFont(designFont(9.75, true, true));
    Label2->setForeColor(0xFF0000);
    if (look.boxedLabels) {
        place(*Label1, 120, 3240, 1515, 210);
        // Clear of Cancel; where the font runs wider than the designed one, the letters close
        // up rather than lose the end of the text.
        const QString hint = Label1->caption();
        const int overrun = QFontMetrics(hintFont).horizontalAdvance(hint) - Label1->width();
        if (overrun > 0)
            hintFont.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overrun) / qreal(hint.size()));
        Label1->setFont(hintFont);
        place(*Label2, 1680, 3240, 630, 240);
    } else {
        Label1->setFont(hintFont);
        placeAt(*Label1, 120, 3240);
        Label1->setAutoSize(true);
        placeAt(*Label2, 1680, 3240);
        Label2->setAutoSize(true);
    }

    Label2->setAccessibleName(QStringLiteral("Cancel"));
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setCursor(Qt::PointingHandCursor);

    connect(Label2, &Label::clicked, this, [this] { Label2_Click(); });

    m_strip = new FindStrip(*rom_list);
    rom_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rom_list, &QWidget::customContextMenuRequested, this, &ListWindow::showMenu);
}

bool ListWindow::readIndex(const QString& path)
{
    findName(QString());
    rom_list->clear();
    return sys_procs::load_list(path, *rom_list);
}

QString ListWindow::recordOrNotice(int row)
{
    // A plain look at the file: a name with a leading dot has a record the folder search would
    // pass over as hidden.
    QString recordPath = catalogue::findRecord(rom_list->text(row));
    if (recordPath.isEmpty()) {
        mnu_error::get().showNotice(QStringLiteral("This Games data file is missing or deleted."),
                                    QStringLiteral("Deleting Entry"));
        // Off the screen only: the index keeps the name.
        rom_list->removeItem(row);
    }
    return recordPath;
}

void ListWindow::findName(const QString& part)
{
    rom_list->setFilter(part);
    if (!part.isEmpty() && rom_list->count() > 0)
        rom_list->selectionModel()->setCurrentIndex(rom_list->model()->index(0, 0),
                                                    QItemSelectionModel::NoUpdate);
}

bool ListWindow::typeKey(const QKeyEvent& key)
{
    QString part = rom_list->filter();
    if (key.key() == Qt::Key_Escape || key.key() == Qt::Key_Backspace) {
        if (part.isEmpty())
            return false;
        if (key.key() == Qt::Key_Escape)
            part.clear();
        else
            part.chop(part.size() >= 2 && part.back().isLowSurrogate() ? 2 : 1);
        findName(part);
        return true;
    }
    // Shortcuts and control characters stay the list's.
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    if (text.isEmpty() || !std::all_of(text.cbegin(), text.cend(),
                                       [](QChar c) { return c.isPrint() || c.isSurrogate(); }))
        return false;
    findName(part + text);
    return true;
}

void ListWindow::removeCurrent()
{
    // A save or a Clear under way would write back the index it read before.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return;
    const int row = rom_list->currentRow();
    const QString name = rom_list->text(row);
    // The index's own empty line names no game.
    if (row < 0 || name.isEmpty())
        return;
    const auto answer = askQuestion(
        this,
        QStringLiteral("Remove \u201C%1\u201D from the catalogue? Its record is deleted; its ROM "
                       "and picture files are kept.")
            .arg(name),
        QStringLiteral("Remove from catalogue"), QMessageBox::Yes | QMessageBox::No,
        QMessageBox::Question, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The browser first takes the index start-up read, so it is not added after this.
    emit IndexEvents::get().aboutToWrite();
    const RemoveResult removed = removeGame(name);
    VX_modules::show_notices(removed.notices);
    if (removed.outcome != RemoveOutcome::Removed)
        return;
    // Every line of the name goes from the screen too, shown or not.
    TextList kept;
    runServingEvents([&, all = rom_list->texts()] {
        kept = all.filtered([&](QStringView line) { return line != name; });
    });
    rom_list->setItems(kept);
    emit gameRemoved(name);
}

void ListWindow::showMenu(const QPoint& at)
{
    const QModelIndex index = rom_list->indexAt(at);
    if (index.isValid())
        rom_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    if (rom_list->currentRow() < 0)
        return;
    QMenu menu(this);
    lookLikeTheWindows(menu);
    menu.addAction(QStringLiteral("Remove from catalogue\u2026"), this, &ListWindow::removeCurrent);
    menu.exec(rom_list->viewport()->mapToGlobal(at));
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == rom_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            chooseCurrent();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            removeCurrent();
            return true;
        }
        if (typeKey(*key))
            return true;
    }
    return Form::eventFilter(watched, event);
}

void ListWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Label2_Click();
        return;
    }
    Form::keyPressEvent(event);
}

} // namespace vx
