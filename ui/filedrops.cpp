#include "ui/filedrops.h"

#include "core/folderscan.h"
#include "core/nativepath.h"
#include "ui/busypointer.h"
#include "ui/vx_modules.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QMutex>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

namespace vx
{

namespace
{

const QString kUriList = QStringLiteral("text/uri-list");

struct Dropped {
    QString path;
    bool folder = false;
};

// What a drag holds, read once as it comes in.
struct Offer {
    bool files = false;    // it names local files or folders, usable or not
    QList<Dropped> usable; // in the order dropped
};

Offer readOffer(const QMimeData* data, const FileFits& fits)
{
    Offer offer;
    // Only the list of formats until the drag is known to name files: the data itself comes
    // from the other program, and asking for it waits on that program.
    if (!data || !data->hasFormat(kUriList))
        return offer;
    const QStringList paths = localPathsIn(data->data(kUriList));
    offer.files = !paths.isEmpty();
    // One look at each path, never into a folder: a folder is searched after the drop.
    for (const QString& path : paths) {
        const PathKind kind = pathKind(path);
        if (kind == PathKind::Folder)
            offer.usable.append({path, true});
        else if (kind == PathKind::File && fits(path))
            offer.usable.append({path, false});
    }
    return offer;
}

class FileDropFilter : public QObject
{
public:
    FileDropFilter(QWidget& window, FileFits fits, std::function<void(const QString&)> take,
                   const QString& wanted, std::function<void(const QStringList&)> takeMany)
        : QObject(&window), m_fits(std::move(fits)), m_take(std::move(take)),
          m_takeMany(std::move(takeMany)), m_wanted(wanted), m_search(std::make_shared<Search>())
    {
        m_search->owner = this;
        m_turn.setSingleShot(true);
        m_turn.setInterval(0);
        connect(&m_turn, &QTimer::timeout, this, [this] {
            if (m_leaving)
                m_offer = {};
            m_leaving = false;
        });
    }
    ~FileDropFilter() override
    {
        Search& search = *m_search;
        const QMutexLocker lock(&search.mutex);
        search.owner = nullptr;
        search.generation.fetch_add(1);
    }
    FileDropFilter(const FileDropFilter&) = delete;
    FileDropFilter& operator=(const FileDropFilter&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        // A window put away (not minimised) gives up its search: what it finds would land in hidden
        // boxes.
        if (type == QEvent::Hide && !event->spontaneous() && watched == parent() && m_busy) {
            m_search->generation.fetch_add(1);
            m_busy.reset();
        }
        if (type == QEvent::DragLeave) {
            m_leaving = true;
            m_turn.start();
        }
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drop = static_cast<QDropEvent*>(event);
        // The drag is read once. Within one turn of the event loop an enter is the same drag
        // moving from one control to the next, or passed on to the window from a control.
        if (type == QEvent::DragEnter) {
            if (!m_turn.isActive())
                m_offer = readOffer(drop->mimeData(), m_fits);
            m_leaving = false;
            m_turn.start();
        }
        // The drop never asks the other program again: it may have quit already, and X would
        // hold the windows for seconds waiting on it.
        if (!m_offer.files)
            return false;
        if (m_offer.usable.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            takeDropped(std::exchange(m_offer, {}).usable);
        return true;
    }

private:
    // Shared with the searches under way, which outlive neither the filter's interest nor,
    // through `owner`, the filter.
    struct Search {
        QMutex mutex;
        FileDropFilter* owner = nullptr;
        std::atomic<int> generation = 0;
    };

    void takeDropped(const QList<Dropped>& usable)
    {
        // A newer drop replaces a search still under way.
        const int generation = ++m_search->generation;
        if (m_takeMany && (usable.size() > 1 || usable.first().folder)) {
            m_busy.reset();
            QStringList paths;
            for (const Dropped& dropped : usable)
                paths << QDir::toNativeSeparators(dropped.path);
            m_takeMany(paths);
            return;
        }
        if (!usable.first().folder) {
            m_busy.reset();
            m_take(QDir::toNativeSeparators(usable.first().path));
            return;
        }
        if (!m_busy)
            m_busy.emplace(Qt::BusyCursor);
        folderDropSearches().start([search = m_search, generation, usable, fits = m_fits] {
            const auto stop = [&] { return search->generation != generation; };
            QString found;
            for (const Dropped& dropped : usable) {
                if (dropped.folder)
                    found = firstFileUnder(dropped.path, fits, stop);
                else if (pathKind(dropped.path) == PathKind::File)
                    found = dropped.path;
                if (!found.isEmpty() || stop())
                    break;
            }
            const QMutexLocker lock(&search->mutex);
            if (FileDropFilter* owner = search->owner; owner && !stop())
                QMetaObject::invokeMethod(
                    owner, [owner, generation, found] { owner->searched(generation, found); },
                    Qt::QueuedConnection);
        });
    }

    void searched(int generation, const QString& found)
    {
        if (generation != m_search->generation)
            return;
        m_busy.reset();
        if (found.isEmpty())
            VX_modules::show_notice(
                QStringLiteral("No %1 was found in the dropped folder.").arg(m_wanted),
                QStringLiteral("Nothing was changed."));
        else
            m_take(QDir::toNativeSeparators(found));
    }

    FileFits m_fits;
    std::function<void(const QString&)> m_take;
    std::function<void(const QStringList&)> m_takeMany;
    QString m_wanted;
    Offer m_offer;
    QTimer m_turn;
    bool m_leaving = false;
    std::shared_ptr<Search> m_search;
    std::optional<BusyPointer> m_busy;
};

} // namespace

QStringList localPathsIn(const QByteArray& uriList)
{
    QStringList paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
#ifdef Q_OS_UNIX
        // file:///path, file://localhost/path or file:/path; another host is no local file.
        if (!line.toLower().startsWith("file:"))
            continue;
        QByteArray rest = line.mid(5);
        if (rest.startsWith("//")) {
            const qsizetype slash = rest.indexOf('/', 2);
            const QByteArray host = rest.mid(2, slash < 0 ? -1 : slash - 2).toLower();
            if (slash < 0 || !(host.isEmpty() || host == "localhost"))
                continue;
            rest = rest.mid(slash);
        }
        if (rest.startsWith('/'))
            paths << pathFromNative(QByteArray::fromPercentEncoding(rest));
#else
        const QUrl url = QUrl::fromEncoded(line);
        if (url.isLocalFile())
            paths << url.toLocalFile();
#endif
    }
    return paths;
}

void acceptFileDrops(QWidget& window, FileFits fits, std::function<void(const QString&)> take,
                     const QString& wanted, std::function<void(const QStringList&)> takeMany)
{
    auto* filter =
        new FileDropFilter(window, std::move(fits), std::move(take), wanted, std::move(takeMany));
    window.setAcceptDrops(true);
    window.installEventFilter(filter);
    // Fields take text drops of their own; a file dropped on one is the window's.
    for (QWidget* control : window.findChildren<QWidget*>())
        control->installEventFilter(filter);
}

QThreadPool& folderDropSearches()
{
    static QThreadPool* const pool = new QThreadPool;
    return *pool;
}

bool hasPictureSuffix(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

} // namespace vx
