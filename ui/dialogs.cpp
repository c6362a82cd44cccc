#include "ui/dialogs.h"

#include "ui/form.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <deque>
#include <optional>

namespace vx
{

namespace
{

struct ScriptedFile {
    bool chosen;
    QString path;
};

struct Script {
    bool on = false;
    std::deque<ScriptedFile> files;
    std::deque<QMessageBox::StandardButton> answers;
    QList<dialogs::FileRequest> fileRequests;
    QList<dialogs::Question> questions;
};

Script& script()
{
    static Script s;
    return s;
}

// Gives the keyboard back, when a dialog closes, to the window that opened it and to the control
// that had it there: a window manager hands it to the main window instead, since a dialog's
// opener is mostly a tool window.
class KeyboardReturn
{
public:
    explicit KeyboardReturn(QWidget* parent)
        : m_window(parent ? parent->window() : nullptr),
          m_focus(m_window ? m_window->focusWidget() : nullptr)
    {
    }
    KeyboardReturn(const KeyboardReturn&) = delete;
    KeyboardReturn& operator=(const KeyboardReturn&) = delete;
    ~KeyboardReturn()
    {
        if (!m_window || !m_window->isVisible())
            return;
        m_window->activateWindow();
        if (m_focus && m_focus->isVisible())
            m_focus->setFocus(Qt::ActiveWindowFocusReason);
    }

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

// A scripted dialog moves the keyboard as a real one does: it runs events while it shows and
// leaves the keyboard where a window manager puts it when it closes, on the main window.
void scriptedDialogShows()
{
    Form* main = Form::owner();
    if (main && main->isVisible())
        main->activateWindow();
    QApplication::processEvents();
}

// The chosen file, or nothing on a cancel.
std::optional<QString> runFileDialog(QWidget* parent, bool save, const QString& title,
                                     const QString& filter, const QString& fileName)
{
    const KeyboardReturn keyboard(parent);
    Script& s = script();
    if (s.on) {
        s.fileRequests.append({save, title, filter, fileName});
        scriptedDialogShows();
        if (s.files.empty())
            return std::nullopt;
        const ScriptedFile answer = s.files.front();
        s.files.pop_front();
        if (!answer.chosen)
            return std::nullopt;
        return answer.path;
    }
    const QString chosen = save ? QFileDialog::getSaveFileName(parent, title, fileName, filter)
                                : QFileDialog::getOpenFileName(parent, title, fileName, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

} // namespace

QString qtFileFilter(const QString& barFilter)
{
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*"); // every file, also those without an extension
        }
        const QString description = parts.at(i).trimmed();
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        entries.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
    }
    return entries.join(QStringLiteral(";;"));
}

QStringList chooseToImport(QWidget* parent, bool folder, const QString& title,
                           const QString& barFilter)
{
    const QString filter = folder ? QString() : qtFileFilter(barFilter);
    Script& s = script();
    if (s.on) {
        const std::optional<QString> chosen = runFileDialog(parent, false, title, filter, {});
        return chosen ? chosen->split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
    }
    const KeyboardReturn keyboard(parent);
    if (folder) {
        const QString chosen = QFileDialog::getExistingDirectory(parent, title);
        return chosen.isEmpty() ? QStringList() : QStringList{chosen};
    }
    return QFileDialog::getOpenFileNames(parent, title, QString(), filter);
}

bool CommonDialog::ShowOpen(QWidget* parent)
{
    const auto chosen = runFileDialog(parent, false, DialogTitle, qtFileFilter(Filter), FileName);
    if (chosen)
        FileName = *chosen;
    return chosen.has_value();
}

bool CommonDialog::ShowSave(QWidget* parent)
{
    const auto chosen = runFileDialog(parent, true, DialogTitle, qtFileFilter(Filter), FileName);
    if (chosen)
        FileName = *chosen;
    return chosen.has_value();
}

QMessageBox::StandardButton askQuestion(QWidget* parent, const QString& text, const QString& title,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButton defaultButton)
{
    const KeyboardReturn keyboard(parent);
    Script& s = script();
    if (s.on) {
        s.questions.append({text, title, buttons, icon, defaultButton});
        scriptedDialogShows();
        if (s.answers.empty())
            return defaultButton;
        const auto answer = s.answers.front();
        s.answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

namespace dialogs
{

void setScripted(bool scripted)
{
    script().on = scripted;
}

void queueFile(const QString& path)
{
    script().files.push_back({true, path});
}

void queueCancel()
{
    script().files.push_back({false, QString()});
}

void queueAnswer(QMessageBox::StandardButton answer)
{
    script().answers.push_back(answer);
}

QList<FileRequest> fileRequests()
{
    return script().fileRequests;
}

QList<Question> questions()
{
    return script().questions;
}

void clearScript()
{
    Script& s = script();
    s.files.clear();
    s.answers.clear();
    s.fileRequests.clear();
    s.questions.clear();
}

} // namespace dialogs

} // namespace vx
