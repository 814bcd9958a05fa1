#pragma once
// A table's lock file (<name>.lck): byte 0 is held shared by a shared open and
// exclusively by an exclusive open; bytes 1..1024 are the numbered semaphores.
// Open-file-description locks are released when the holder dies, and two
// descriptions in one process still conflict, as two copies of the program do.
#include <set>
#include <string>

namespace hv::engine {

class LockFile {
public:
    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    void setPath(const std::string& path); // closes a previous file
    const std::string& path() const { return m_path; }

    enum class Mode { None, Shared, Exclusive };
    // One attempt each; false when another holder conflicts. Throws on I/O errors.
    bool setMode(Mode mode);
    Mode mode() const { return m_mode; }

    bool lockSemaphore(int number);
    void unlockSemaphore(int number);
    bool holdsSemaphore(int number) const { return m_semaphores.count(number) != 0; }
    // True when another holder has the semaphore (this holder's own ones do not count).
    bool semaphoreHeldElsewhere(int number);
    // How many semaphores of first..last other open files hold, in a few
    // system calls (a lock test returns the first conflicting range).
    int semaphoresHeldElsewhere(int first, int last);

    void close();

private:
    bool ensureOpen();
    bool lockByte(long offset, short type);

    std::string m_path;
    int m_fd = -1;
    Mode m_mode = Mode::None;
    std::set<int> m_semaphores;
};

} // namespace hv::engine
