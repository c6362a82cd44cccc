#pragma once

#include "core/folderscan.h"

#include <QString>
#include <cstddef>
#include <memory>

// Finding a game's record file as Windows finds it. A lookup of a name without a record (every
// add of a new game) would read all of bin, tens of thousands of names; what a reading of bin
// taught is kept, with the names the system reports arriving since, so bin is read again only
// when the system cannot tell (then: when bin changed in any way).
namespace vx::catalogue
{

// The record file of a game as it is on disk: the exact name when that file exists (no look at
// the folder then), else a file whose name differs only in case or whose name's bytes are
// Windows-1252; the exact case first, then the first in the order of the names' bytes. Empty
// when there is none.
QString findRecord(const QString& name);

struct BinNames;

// A reading of bin made anyway (the start-up sweep) stands in for a lookups' own. It may be made
// on any thread; adopt() hands what it saw to the lookups, on the thread that looks records up.
class BinScan
{
public:
    BinScan();
    ~BinScan();
    BinScan(BinScan&& other) noexcept;
    BinScan& operator=(BinScan&& other) noexcept;
    BinScan(const BinScan&) = delete;
    BinScan& operator=(const BinScan&) = delete;
    void see(const char* name, std::size_t length);
    // After the last see(), on the same thread: readies what was seen for lookups.
    void seenAll();
    // What the lookups know of bin from now on, unless one of them read bin itself meanwhile.
    void adopt();

private:
    std::unique_ptr<BinNames> m_names;
};

// Called once (on the application's thread) by the next lookup that looks into bin, so a reading
// of it already under way on another thread (start-up's) is finished and adopted rather than
// repeated. Null: none is under way.
void setBinReadingPending(void (*finish)());

// Made, with the lock held, before this process changes bin; done() after the change keeps what
// lookups knew of bin before it, with the record written (if any) among its names. Without
// done(), bin is read again at the next lookup.
class BinChange
{
public:
    BinChange();
    BinChange(const BinChange&) = delete;
    BinChange& operator=(const BinChange&) = delete;
    void done(const QString& recordPath = QString());

private:
    FolderStamp m_before;
};

} // namespace vx::catalogue
