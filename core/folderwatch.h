#pragma once

#include <QString>
#include <cstddef>
#include <functional>

namespace vx
{

// The names that arrive in a folder (made there or moved in), told by the system, so a folder of
// tens of thousands of names need not be read again to learn of a new one. Where the system
// cannot tell (another platform, no watches left), it is not active and the folder is read.
class FolderWatch
{
public:
    explicit FolderWatch(const QString& folder);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool active() const { return m_handle >= 0; }
    // Hands `seen` each name that arrived since the last call. False when arrivals may have been
    // missed (too many at once, the folder removed or moved): the folder must then be read.
    bool arrivals(const std::function<void(const char* name, std::size_t length)>& seen);

private:
    int m_handle = -1;
    bool m_lost = false;
};

} // namespace vx
