#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

namespace vx
{

// How far a copy has got; written by the copying thread, read by the window showing it.
struct CopyProgress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancelled{false};
};

enum class CopyResult { Copied, Failed, Cancelled };

// What a copy does to the bytes on the way.
enum class CopyConversion {
    None,
    // A cartridge image in one of the swapped byte orders (.v64, .n64) is written in the
    // cartridge's own, big-endian order (.z64); any other file, a big-endian image included, is
    // copied as it is.
    ToBigEndian,
};

// Copies source over destination as cp does, except that the bytes go to a temporary file in
// the destination's folder that replaces the destination only when complete: a failed,
// cancelled or killed copy leaves no partial file and the old destination untouched. (Where the
// file system has no unnamed files, a killed copy's temporary stays until the next copy into
// that folder or the next start's look at the export folder removes it; see copytemporary.h.)
// - a new file gets the source's permission bits less the umask; an existing destination keeps
//   its own bits (and owner where allowed); a read-only destination is refused;
// - a destination that is a symbolic link is written through to its target;
// - holes in the source stay holes; the copy is done in the kernel where it can be.
// Refuses (nothing touched) a copy of a file onto itself, however the paths are spelled.
// Safe to call from any thread; `progress` may be null.
CopyResult copyFileReplacing(const QString& source, const QString& destination,
                             CopyProgress* progress = nullptr,
                             CopyConversion conversion = CopyConversion::None);

// One copy run on a worker thread. finished() is emitted on the thread that owns the object;
// destroying it cancels a copy still running and waits for the thread.
class BackgroundCopy : public QObject
{
    Q_OBJECT

public:
    BackgroundCopy(QString source, QString destination,
                   CopyConversion conversion = CopyConversion::None, QObject* parent = nullptr);
    ~BackgroundCopy() override;

    void start();
    void cancel() { m_progress.cancelled = true; }
    const CopyProgress& progress() const { return m_progress; }
    CopyResult result() const { return m_result; }

signals:
    void finished(vx::CopyResult result);

private:
    QString m_source;
    QString m_destination;
    CopyConversion m_conversion;
    CopyProgress m_progress;
    CopyResult m_result = CopyResult::Failed;
    std::thread m_thread;
};

// Test seam: `hook` runs on the copying thread after every piece of `pieceBytes` (a copy is
// otherwise done in large pieces); an empty hook restores the defaults.
void setCopyPieceHook(std::function<void()> hook, qint64 pieceBytes);
// Test seam: copies write to a named temporary from the start, as on a file system without
// O_TMPFILE.
void setCopyTemporaryNamed(bool named);

} // namespace vx
