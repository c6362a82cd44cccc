#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace vx
{

// A window's common file dialog: it keeps its title, filter and file name between uses.
// The filter is written as description|patterns pairs separated by bars. Here and in
// askQuestion, the window of `parent` gets the keyboard back when the dialog closes, on the
// control that had it.
class CommonDialog
{
public:
    QString DialogTitle;
    QString Filter;
    QString FileName;

    // True when the user chose a file (then in FileName); on a cancel FileName is kept.
    bool ShowOpen(QWidget* parent);
    bool ShowSave(QWidget* parent);
};

// Files (several may be chosen) or one folder to import; empty on a cancel. Scripted, an answer
// queued with queueFile may name several paths, one a line.
QStringList chooseToImport(QWidget* parent, bool folder, const QString& title,
                           const QString& barFilter);

// "Basic Rom types|*.rom;*.v64|All Files|*.*" -> "Basic Rom types (*.rom *.v64);;All Files (*)"
QString qtFileFilter(const QString& barFilter);

// Asks a question with the standard message box.
QMessageBox::StandardButton askQuestion(QWidget* parent, const QString& text, const QString& title,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButton defaultButton);

// Test seam: once scripting is on, dialogs never open; they answer from a queue and record
// what was asked. An answer that was not queued is a cancel (or the box's default). While it
// "shows", the keyboard goes to the main window, as a window manager moves it when a dialog
// closes.
namespace dialogs
{

struct FileRequest {
    bool save = false;
    QString title;
    QString filter;   // in the dialog's own (Qt) form
    QString fileName; // the name the dialog started from
};

struct Question {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

void setScripted(bool scripted);
void queueFile(const QString& path); // the user chooses this file
void queueCancel();                  // the user cancels the next file dialog
void queueAnswer(QMessageBox::StandardButton answer);
QList<FileRequest> fileRequests();
QList<Question> questions();
void clearScript();

} // namespace dialogs

} // namespace vx
