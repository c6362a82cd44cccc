#include "core/folderwatch.h"

#include "core/nativepath.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace vx
{

#ifdef Q_OS_LINUX

FolderWatch::FolderWatch(const QString& folder)
{
    m_handle = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_handle < 0)
        return;
    const uint32_t events = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(m_handle, nativePath(folder).constData(), events) < 0) {
        ::close(m_handle);
        m_handle = -1;
    }
}

FolderWatch::~FolderWatch()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

bool FolderWatch::arrivals(const std::function<void(const char* name, std::size_t length)>& seen)
{
    if (m_handle < 0)
        return false;
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(m_handle, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EAGAIN: nothing more is waiting
        for (ssize_t at = 0; at < got;) {
            struct inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            if (event.mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
                m_lost = true;
            else if (event.len > 0)
                seen(name, std::strlen(name));
            at += ssize_t(sizeof event + event.len);
        }
    }
    return !m_lost;
}

#else

FolderWatch::FolderWatch(const QString&) {}

FolderWatch::~FolderWatch() {}

bool FolderWatch::arrivals(const std::function<void(const char*, std::size_t)>&)
{
    return false;
}

#endif

} // namespace vx
