#pragma once

#include "core/datfile.h"

#include <QObject>
#include <QSet>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

namespace vx::test
{
struct VerifierProbe;
}

namespace vx
{

// What the DAT and the header's own check say of a ROM.
struct Verdict {
    enum class Kind {
        Verified,     // the DAT lists it: `game` is the DAT's name for it
        NotInDat,     // the DAT does not, and its header check does not fail
        HeaderFailed, // the DAT does not, and its header's check words do not match
    };
    Kind kind = Kind::NotInDat;
    QString game;

    // The line the windows show.
    QString text() const;
};

// The DAT's names of many ROMs, for work on a thread of its own (an import's): against the DAT in
// force when it was made, from the checksums known or computed there, which are kept as a view's
// are, so a later view of the game costs nothing.
class DatNamer
{
public:
    // The DAT's name for the ROM at `path`; empty when the DAT does not list it, it cannot be
    // read, or `cancelled` turned true meanwhile.
    QString nameOf(const QString& path, const std::atomic_bool* cancelled);
    // Writes the cache file when checksums were computed; once, however many.
    void keep();

private:
    friend class Verifier;
    struct Shared;
    DatNamer(std::shared_ptr<Shared> shared, std::shared_ptr<const datfile::Dat> dat);

    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<const datfile::Dat> m_dat;
    bool m_computed = false;
};

// The DAT in force and verdicts on ROMs against it. The ROMs are read on threads of its own that
// quitting does not wait for; their checksums are kept in the cache file (sumcache.h).
class Verifier : public QObject
{
    Q_OBJECT

public:
    static Verifier& get();

    // Reads a DAT on a thread of its own (a second or so for a large one); `done` runs on this
    // thread.
    void readDat(const QString& path, std::function<void(const datfile::Loaded&)> done);
    // The DAT verdicts are made against from now on; none (null) for no verdicts.
    void useDat(std::shared_ptr<const datfile::Dat> dat, const QString& path);
    bool hasDat() const { return m_dat != nullptr; }
    // Names ROMs by the DAT in force on another thread; nothing without a DAT.
    std::optional<DatNamer> namer() const;
    QString datPath() const { return m_datPath; }

    // The verdict on the ROM at `path`, at once when its checksums are known for its length and
    // modification time; otherwise nothing, and they are computed and verdictReady follows.
    // Nothing either without a DAT, or for a path that names no regular file.
    std::optional<Verdict> verdict(const QString& path);

    // Drops the DAT, the checksums kept in memory and whatever is under way: another catalogue.
    void reset();

signals:
    // The checksums of `path` are known (the verdict is then ready at once), or it could not be
    // read (nothing to say).
    void verdictReady(const QString& path, const std::optional<vx::Verdict>& verdict);
    // Another DAT is in force, or none: verdicts shown are out of date.
    void datChanged();

private:
    Verifier();
    Verdict judge(const romsums::Sums& sums) const;

    using Shared = DatNamer::Shared;
    friend struct test::VerifierProbe;
    static QThreadPool& pool();

    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<const datfile::Dat> m_dat;
    QString m_datPath;
    QSet<QString> m_pending;
};

} // namespace vx
