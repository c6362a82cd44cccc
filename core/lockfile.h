#pragma once

#include <QString>
#include <memory>

namespace vx
{

// A lock file honoured by every copy of the program on this machine and on others sharing the
// folder. It is written as QLockFile writes its own, so each reads the other's.
//
// A holder keeps its lock young from a thread of its own, so a write that hangs for minutes on a
// slow share does not make it look dead from another machine. A holder that is gone has its lock
// taken over: at once when it ran on this machine, after 30 seconds without a refresh from
// another. Taking over removes the file, which the folder's permission allows whoever made it.
class LockFile
{
public:
    enum class Attempt {
        Taken,
        Held,       // another copy holds it, or is taking a dead one's over
        Unwritable, // the lock cannot be made: no permission, a read-only or full disk, or
                    // something other than a lock stands at its path
    };

    explicit LockFile(QString path);
    // Gives the lock up, unless another copy has taken it over.
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // One attempt, taking over a dead holder's lock.
    Attempt tryTake();
    // Whether the lock at the path is still the one this took; false once another copy, taking
    // this one for dead, removed it.
    bool stillHeld() const;

private:
    // The guard held while a dead holder's lock is removed is neither refreshed nor guarded.
    LockFile(QString path, bool guard);
    Attempt removeIfAbandoned();

    struct Held;
    QString m_path;
    bool m_guard = false;
    std::unique_ptr<Held> m_held;
};

} // namespace vx
