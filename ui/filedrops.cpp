#include "ui/filedrops.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace vx
{

namespace
{

bool holdsFiles(const QMimeData& drop)
{
    const QList<QUrl> urls = drop.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

class FileDropFilter : public QObject
{
public:
    FileDropFilter(QWidget& window, FileFits fits, std::function<void(const QString&)> take)
        : QObject(&window), m_fits(std::move(fits)), m_take(std::move(take))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::DragLeave)
            m_file.clear();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drop = static_cast<QDropEvent*>(event);
        const QMimeData* data = drop->mimeData();
        const bool files = data && holdsFiles(*data);
        // A folder is listed once as the drag comes in, not at every move over the window. The
        // drop keeps what the drag brought in when its own data comes through empty, as a drop
        // from another program can on X11.
        if (type == QEvent::DragEnter || (type == QEvent::Drop && files))
            m_file = files ? firstDroppedFile(*data, m_fits) : QString();
        if (!files && m_file.isEmpty())
            return false;
        const QString file = m_file;
        if (type == QEvent::Drop)
            m_file.clear();
        if (file.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            m_take(file);
        return true;
    }

private:
    FileFits m_fits;
    std::function<void(const QString&)> m_take;
    QString m_file;
};

} // namespace

QString firstDroppedFile(const QMimeData& drop, const FileFits& fits)
{
    for (const QUrl& url : drop.urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir folder(path);
            for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
                const QString inside = folder.filePath(name);
                if (fits(inside))
                    return QDir::toNativeSeparators(inside);
            }
        } else if (info.isFile() && fits(path)) {
            return QDir::toNativeSeparators(path);
        }
    }
    return {};
}

void acceptFileDrops(QWidget& window, FileFits fits, std::function<void(const QString&)> take)
{
    auto* filter = new FileDropFilter(window, std::move(fits), std::move(take));
    window.setAcceptDrops(true);
    window.installEventFilter(filter);
    // Fields take text drops of their own; a file dropped on one is the window's.
    for (QWidget* control : window.findChildren<QWidget*>())
        control->installEventFilter(filter);
}

bool hasPictureSuffix(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

} // namespace vx
