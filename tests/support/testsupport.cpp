#include "support/testsupport.h"

#include "platform/appfolder.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/profile.h"
#include "platform/windowing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>

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
}

Sandbox::~Sandbox()
{
    unloadAllForms();
    dialogs::clearScript();
    setClock(nullptr);
}

QString Sandbox::path(const QString& relative) const
{
    return m_dir.filePath(relative);
}

void Sandbox::makeCatalogue(const QByteArray& indexBytes)
{
    writeFile(QStringLiteral("vx.log"),
              QByteArrayLiteral("[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade="
                                "boolist.lst\r\n[export]\r\npath=\r\n"));
    QDir(folder()).mkpath(QStringLiteral("bin"));
    writeFile(QStringLiteral("bin/bootlist.lst"), indexBytes);
}

void Sandbox::writeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
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

QMap<QString, QByteArray> Sandbox::snapshot() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(folder()).relativeFilePath(file), f.readAll());
    }
    return files;
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

void doubleClickItem(QListWidget* list, int row)
{
    QVERIFY(list);
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    list->setCurrentItem(item);
    const QRect r = list->visualItemRect(item);
    // The events a real double click brings; a list view acts on the second press only when
    // the first one landed on the same item.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace vx::test
