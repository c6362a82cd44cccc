#include "support/testsupport.h"

#include "add/mnu_add_rom.h"
#include "app/vx_main.h"
#include "core/appfolder.h"
#include "core/cartridge.h"
#include "core/folderscan.h"
#include "core/listfile.h"
#include "core/nativepath.h"
#include "core/profile.h"
#include "core/textcodec.h"
#include "core/textfile.h"
#include "core/verifier.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "ui/base/mnu_error.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/filedrops.h"
#include "ui/form.h"
#include "ui/forms.h"
#include "ui/listbox.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QThread>
#include <QThreadPool>

namespace vx::test
{

namespace
{
int endCount = 0;
void countEnd()
{
    ++endCount;
}
} // namespace

int endRequests()
{
    return endCount;
}

Sandbox::Sandbox()
{
    unloadAllForms();
    setAppFolder(m_dir.path());
    setClock(&m_clock);
    dialogs::setScripted(true);
    dialogs::clearScript();
    setEndProgramHook(countEnd);
    failReadsOf(QString());
    Verifier::get().reset();
}

namespace
{

// QTemporaryDir cannot remove names whose bytes are no UTF-8; the program's own functions can.
void removeForeignNames(const QString& folder)
{
    const auto notDots = [](const char* name, std::size_t length) {
        return !(length == 1 && name[0] == '.') &&
               !(length == 2 && name[0] == '.' && name[1] == '.');
    };
    for (const QString& name : namesInFolder(folder, notDots)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (hasForeignBytes(name))
            removeFile(path);
        else if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            removeForeignNames(path);
    }
}

} // namespace

Sandbox::~Sandbox()
{
    removeForeignNames(m_dir.path());
    unloadAllForms();
    dialogs::clearScript();
    setClock(nullptr);
    failReadsOf(QString());
    Verifier::get().reset();
}

QString Sandbox::path(const QString& relative) const
{
    return m_dir.filePath(relative);
}

QByteArray Sandbox::settingsBytes(const QByteArray& exportFolder)
{
    return "[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n[export]"
           "\r\npath=" +
           exportFolder + "\r\n";
}

void Sandbox::makeCatalogue(const QByteArray& indexBytes)
{
    writeFile(QStringLiteral("vx.log"), settingsBytes());
    QDir(folder()).mkpath(QStringLiteral("bin"));
    writeFile(QStringLiteral("bin/bootlist.lst"), indexBytes);
}

void Sandbox::writeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (hasForeignBytes(target)) {
        QVERIFY2(replaceFile(target, bytes), qPrintable(target));
        return;
    }
    QFile file(target);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(target));
    file.write(bytes);
}

QByteArray Sandbox::readFile(const QString& relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool Sandbox::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
}

void Sandbox::writeRecord(const QString& name, const QString& file, const QString& image,
                          const QString& gametype, const QString& size, const QString& desc) const
{
    const QString record = path(QStringLiteral("bin/") + name + QStringLiteral(".lib"));
    profile::writeAll(record, {{QStringLiteral("paths"), QStringLiteral("file"), file},
                               {QStringLiteral("paths"), QStringLiteral("image"), image},
                               {QStringLiteral("info"), QStringLiteral("gamename"), name},
                               {QStringLiteral("info"), QStringLiteral("gametype"), gametype},
                               {QStringLiteral("info"), QStringLiteral("size"), size},
                               {QStringLiteral("info"), QStringLiteral("desc"), desc}});
}

namespace
{

// Through the program's own file functions, so names whose bytes are no UTF-8 are read too.
void collectFiles(const QString& folder, const QString& prefix, QMap<QString, QByteArray>& files)
{
    const auto notDots = [](const char* name, std::size_t length) {
        return !(length == 1 && name[0] == '.') &&
               !(length == 2 && name[0] == '.' && name[1] == '.');
    };
    for (const QString& name : namesInFolder(folder, notDots)) {
        const QString path = folder + QLatin1Char('/') + name;
        const QFileInfo info(path);
        if (isRegularFile(path)) {
            if (const auto bytes = readWholeFile(path))
                files.insert(prefix + name, *bytes);
        } else if (info.isDir() && !info.isSymLink()) {
            collectFiles(path, prefix + name + QLatin1Char('/'), files);
        }
    }
}

} // namespace

QMap<QString, QByteArray> Sandbox::snapshot() const
{
    QMap<QString, QByteArray> files;
    collectFiles(folder(), QString(), files);
    return files;
}

QStringList Sandbox::indexLines() const
{
    QStringList lines = textcodec::decode(readFile(QStringLiteral("bin/bootlist.lst")))
                            .split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QString Sandbox::stored(const QString& name, const char* section, const char* key) const
{
    return profile::read(path(QStringLiteral("bin/") + name + QStringLiteral(".lib")),
                         QLatin1String(section), QLatin1String(key));
}

void settleStartup()
{
    QVERIFY(QTest::qWaitFor([] { return !main::get().startupPending(); }));
}

void waitForPicture(const ImageBox& box)
{
    QTRY_VERIFY(!ImageBoxProbe::isLoading(box));
}

bool ReaderProbe::settle(int timeoutMs)
{
    const bool done = cartridge::Reader::pool().waitForDone(timeoutMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return done;
}

bool VerifierProbe::settle(int timeoutMs)
{
    const bool done = Verifier::pool().waitForDone(timeoutMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return done;
}

bool settleFolderDrops(int timeoutMs)
{
    const bool done = folderDropSearches().waitForDone(timeoutMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return done;
}

bool ImageBoxProbe::waitForDecodes(int timeoutMs)
{
    return ImageBox::pool().waitForDone(timeoutMs);
}

bool ImageBoxProbe::hasPicture(const ImageBox& box)
{
    return !box.m_image.isNull();
}

bool ImageBoxProbe::isLoading(const ImageBox& box)
{
    return box.m_loading;
}

const QPixmap& ImageBoxProbe::pixmap(const ImageBox& box)
{
    return box.m_image;
}

bool saveList(const QString& path, const ListBox& list)
{
    return listfile::write(path, list.texts()).has_value();
}

void addItem(ListBox& list, const QString& text)
{
    list.addItems(TextList({text}));
}

QPoint rowCentre(const ListBox& list, int row)
{
    return list.visualRect(list.model()->index(row, 0)).center();
}

DuringWrites::DuringWrites(std::function<void(const QString& path)> during)
{
    beforeWriteForTests([during = std::move(during)](const QString& path) {
        QCoreApplication* const app = QCoreApplication::instance();
        if (!app || QThread::currentThread() == app->thread())
            return;
        QMetaObject::invokeMethod(
            app, [&] { during(path); }, Qt::BlockingQueuedConnection);
    });
}

DuringWrites::~DuringWrites()
{
    beforeWriteForTests({});
}

bool busyPointerShown()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

void click(QWidget* widget)
{
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void press(QWidget* widget)
{
    QVERIFY(widget);
    QTest::mousePress(widget, Qt::LeftButton, {}, widget->rect().center());
}

void release(QWidget* widget)
{
    QVERIFY(widget);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, widget->rect().center());
}

void doubleClickItem(ListBox* list, int row)
{
    QVERIFY(list);
    QVERIFY(row >= 0 && row < list->count());
    list->setCurrentRow(row);
    list->doItemsLayout();
    list->scrollTo(list->model()->index(row, 0));
    const QRect r = list->visualRect(list->model()->index(row, 0));
    // The events a real double click brings; a list view acts on the second press only when
    // the first one landed on the same item.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, r.center());
}

void clickListed(ListBox& list, const QString& name)
{
    const int row = int(list.texts().toStringList().indexOf(name));
    if (row < 0) {
        qWarning("%s is not listed", qPrintable(name));
        return;
    }
    list.doItemsLayout();
    list.scrollTo(list.model()->index(row, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

void fillAdd(mnu_add_rom& add, const QString& name, const QString& romPath,
             const QString& imagePath, const QString& description, const QString& type,
             const QString& size)
{
    add.Text1->setText(name);
    add.Text2->setText(romPath);
    add.Text3->setText(imagePath);
    add.Combo1->setEditText(type);
    add.Combo2->setEditText(size);
    add.Text4->setPlainText(description);
}

mnu_edit_rom& openInEditor(const QString& name)
{
    click(main::get().Label5);
    clickListed(*edit_rom_list::get().rom_list, name);
    return mnu_edit_rom::get();
}

QStringList listed(const ListBox& list)
{
    return list.texts().toStringList();
}

QStringList shown(const ListBox& list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.text(row);
    return texts;
}

QStringList listed(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts << combo.itemText(i);
    return texts;
}

QStringList noticeLines()
{
    mnu_error& notice = mnu_error::get();
    return {notice.Label1->text(), notice.Label2->text()};
}

QStringList visibleNotice()
{
    auto* notice = qobject_cast<mnu_error*>(topLevel(QStringLiteral("mnu_error")));
    if (notice && notice->isVisible() && notice->Left() > -notice->Width())
        return {notice->Label1->text(), notice->Label2->text()};
    return {};
}

Form* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            return qobject_cast<Form*>(w);
    }
    return nullptr;
}

bool isAway(const Form& window)
{
    return window.Left() < -window.Width();
}

bool slidOut(const Form& window)
{
    return !window.isVisible() && isAway(window);
}

bool dropFiles(QWidget* target, const QStringList& paths, bool dataAtDrop)
{
    // A drag begins after the event loop has turned since the last one ended.
    QCoreApplication::processEvents();
    QMimeData data;
    // As a file manager sends them: the name's own bytes, percent-encoded.
    QByteArray uriList;
    for (const QString& path : paths)
        uriList += "file://" + nativePath(path).toPercentEncoding("/") + "\r\n";
    data.setData(QStringLiteral("text/uri-list"), uriList);
    // File managers offer the paths as text too, which a field would insert.
    data.setText(paths.join(QLatin1Char('\n')));
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QMimeData emptied;
    emptied.setData(QStringLiteral("text/uri-list"), {});
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction,
                    dataAtDrop ? &data : &emptied, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

namespace
{

QStringList& capturedLines()
{
    static QStringList lines;
    return lines;
}

QtMessageHandler& previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

} // namespace

LogCapture::LogCapture()
{
    capturedLines().clear();
    previousHandler() = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            const QString category = QString::fromLatin1(context.category);
            if (category.startsWith(QLatin1String("vexloutil.")))
                capturedLines() << category + QStringLiteral(": ") + message;
            else if (previousHandler())
                previousHandler()(type, context, message);
        });
    QLoggingCategory::setFilterRules(QStringLiteral("vexloutil.*=true"));
}

LogCapture::~LogCapture()
{
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previousHandler());
}

QStringList LogCapture::lines() const
{
    return capturedLines();
}

} // namespace vx::test
