#pragma once

#include "core/clock.h"
#include "support/cartridgeimages.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <functional>

class QComboBox;
class QPixmap;

namespace vx
{
class Form;
class ImageBox;
class ListBox;
class mnu_add_rom;
class mnu_edit_rom;
} // namespace vx

namespace vx::test
{

// A timer that moves on by `step` seconds each time a wait reads its elapsed time, so waits end
// at once. set() steps the time of day alone, as a clock change does.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1000.0, double step = 0.25) : m_now(start), m_step(step) {}
    double secondsSinceMidnight() override { return m_now; }
    double elapsedSeconds() override
    {
        const double elapsed = m_elapsed;
        m_elapsed += m_step;
        m_now += m_step;
        if (m_now >= 86400.0)
            m_now -= 86400.0;
        return elapsed;
    }
    void idle() override {}
    void set(double now) { m_now = now; }
    double peek() const { return m_now; }

private:
    double m_now;
    double m_elapsed = 0;
    double m_step;
};

// A fresh application folder for one test: every window unloaded, dialogs scripted, the fake
// clock installed. Everything is undone when it goes out of scope.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString folder() const { return m_dir.path(); }
    QString path(const QString& relative) const;
    FakeClock& clock() { return m_clock; }

    // A catalogue as a finished first run leaves it, optionally with index lines.
    void makeCatalogue(const QByteArray& indexBytes = QByteArrayLiteral("\r\n"));
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    bool exists(const QString& relative) const;
    // A record with the six keys, as the add save writes it.
    void writeRecord(const QString& name, const QString& file, const QString& image,
                     const QString& gametype, const QString& size, const QString& desc) const;

    // Every file below the folder with its bytes, to prove nothing changed.
    QMap<QString, QByteArray> snapshot() const;

    // The index's lines without the empty one its last line break leaves.
    QStringList indexLines() const;
    // One key of a game's record.
    QString stored(const QString& name, const char* section, const char* key) const;

    // The settings file as a finished first run leaves it, with `exportFolder` as the export path.
    static QByteArray settingsBytes(const QByteArray& exportFolder = {});

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
};

// Runs the event loop until the hub has done what start-up holds back past its first paint:
// the browser's list filled from the index, stray temporaries swept.
void settleStartup();

// Runs the event loop until the picture the box was last asked for is decoded (or found
// unreadable) and shown.
void waitForPicture(const ImageBox& box);

// What the tests wait on or look at inside the program's objects, which the program itself has
// no use for.
struct ReaderProbe {
    // Waits for every header read under way, then delivers what they found; false when one
    // outlasts `timeoutMs`.
    static bool settle(int timeoutMs = -1);
};
struct VerifierProbe {
    // Waits for every DAT read and checksum under way, then delivers what they found; false
    // when one outlasts `timeoutMs`.
    static bool settle(int timeoutMs = -1);
};
// Waits for the searches of dropped folders and hands on what they found; false when one
// outlasts `timeoutMs`.
bool settleFolderDrops(int timeoutMs = -1);

struct ImageBoxProbe {
    // Waits for every decode under way in any box; false when one outlasts `timeoutMs`.
    static bool waitForDecodes(int timeoutMs = -1);
    // A picture is shown.
    static bool hasPicture(const ImageBox& box);
    // A picture asked for is still being decoded.
    static bool isLoading(const ImageBox& box);
    // The picture shown, scaled as it is drawn.
    static const QPixmap& pixmap(const ImageBox& box);
};

// Replaces the file with the list's items as the program's list files hold them; false when it
// could not be written.
bool saveList(const QString& path, const ListBox& list);
// Appends one entry.
void addItem(ListBox& list, const QString& text);

// A widget by object name; a missing one is warned about and comes back null.
template <class T = QWidget> T* child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qWarning("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
    return found;
}

// The middle of a list's row, in its viewport's coordinates.
QPoint rowCentre(const ListBox& list, int row);

// The busy pointer (an hourglass over every window) is showing.
bool busyPointerShown();

// A press and release with the left button over the middle of the widget.
void click(QWidget* widget);
void press(QWidget* widget);
void release(QWidget* widget);
void doubleClickItem(ListBox* list, int row);

// Clicks the row of `list` showing `name`, scrolled into view; warns when it is not listed.
void clickListed(ListBox& list, const QString& name);

// Edit ROM on the hub, then a click on the game's name in the picker.
mnu_edit_rom& openInEditor(const QString& name);

// Fills every field of the add window: a game of type US and size 64 unless told otherwise.
void fillAdd(mnu_add_rom& add, const QString& name, const QString& romPath,
             const QString& imagePath, const QString& description = QStringLiteral("d"),
             const QString& type = QStringLiteral("US"),
             const QString& size = QStringLiteral("64"));

// The texts of a list's rows, or of a drop-down's items, in order.
QStringList listed(const ListBox& list);
// The entries a list shows, in its rows' order (a name being found hides the others).
QStringList shown(const ListBox& list);
QStringList listed(const QComboBox& combo);

// The notice window's two lines.
QStringList noticeLines();
// The notice window's two lines while it is on screen (not slid away), else nothing.
QStringList visibleNotice();

// A window by object name, if it was ever made.
Form* topLevel(const QString& name);

// Slid out to the left, past the screen's edge.
bool isAway(const Form& window);
// Slid out past the screen's edge and hidden there, as a window the program moved away.
bool slidOut(const Form& window);

// The process-wide count of how often endProgram was asked for.
int endRequests();

// Drags local files onto `target` and drops them there, as a file manager does (a drag entering,
// then the drop); whether the drop was taken. Without `dataAtDrop` the drop itself carries no
// files, as a drop from another program on X11 can arrive.
bool dropFiles(QWidget* target, const QStringList& paths, bool dataAtDrop = true);

// While it lives, `during` runs on the windows' thread each time the program is about to write a
// file (with the file's path), the write held on its own thread until `during` returns: what the
// windows do and show in the middle of a write. A write made on the windows' thread itself, which
// would leave them no turn, never calls it.
class DuringWrites
{
public:
    explicit DuringWrites(std::function<void(const QString& path)> during);
    ~DuringWrites();
    DuringWrites(const DuringWrites&) = delete;
    DuringWrites& operator=(const DuringWrites&) = delete;
};

// Turns the program's logging categories on and keeps what they write, each line as
// "<category>: <message>"; off again when it goes out of scope.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
};

} // namespace vx::test
