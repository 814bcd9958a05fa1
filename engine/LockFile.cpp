#include "engine/LockFile.h"

#include "engine/EngineError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace hv::engine {

LockFile::~LockFile() { close(); }

void LockFile::setPath(const std::string& path)
{
    if (path == m_path)
        return;
    close();
    m_path = path;
}

void LockFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases every lock of this description
    m_fd = -1;
    m_mode = Mode::None;
    m_semaphores.clear();
}

bool LockFile::ensureOpen()
{
    if (m_fd >= 0)
        return true;
    if (m_path.empty())
        throw EngineTextError("The lock file of the table has no name");
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        throw EngineError(code::TableInUse,
                          "Cannot open the lock file " + m_path + ": " + std::strerror(errno));
    return true;
}

bool LockFile::lockByte(long offset, short type)
{
    ensureOpen();
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = 1;
    fl.l_pid = 0;
    if (::fcntl(m_fd, F_OFD_SETLK, &fl) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    throw EngineError(code::TableInUse,
                      "Cannot lock the lock file " + m_path + ": " + std::strerror(errno));
}

bool LockFile::setMode(Mode mode)
{
    if (mode == m_mode)
        return true;
    short type = mode == Mode::None ? F_UNLCK : mode == Mode::Shared ? F_RDLCK : F_WRLCK;
    if (mode == Mode::None && m_fd < 0) {
        m_mode = mode;
        return true;
    }
    if (!lockByte(0, type))
        return false;
    m_mode = mode;
    return true;
}

bool LockFile::lockSemaphore(int number)
{
    if (number < 1 || number > 1024)
        throw EngineTextError("Semaphore numbers run from 1 to 1024");
    if (holdsSemaphore(number))
        return true;
    if (!lockByte(number, F_WRLCK))
        return false;
    m_semaphores.insert(number);
    return true;
}

void LockFile::unlockSemaphore(int number)
{
    if (!holdsSemaphore(number))
        return;
    lockByte(number, F_UNLCK);
    m_semaphores.erase(number);
}

bool LockFile::semaphoreHeldElsewhere(int number)
{
    ensureOpen();
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = number;
    fl.l_len = 1;
    if (::fcntl(m_fd, F_OFD_GETLK, &fl) != 0)
        throw EngineError(code::TableInUse, "Cannot test the lock file " + m_path);
    return fl.l_type != F_UNLCK;
}

int LockFile::semaphoresHeldElsewhere(int first, int last)
{
    ensureOpen();
    int held = 0;
    long from = first;
    while (from <= last) {
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = from;
        fl.l_len = last - from + 1;
        if (::fcntl(m_fd, F_OFD_GETLK, &fl) != 0)
            throw EngineError(code::TableInUse, "Cannot test the lock file " + m_path);
        if (fl.l_type == F_UNLCK)
            break;
        const long end = fl.l_len == 0 ? last : std::min<long>(last, fl.l_start + fl.l_len - 1);
        held += int(end - std::max<long>(from, fl.l_start) + 1);
        from = end + 1;
    }
    return held;
}

} // namespace hv::engine
