#pragma once
// A second copy of the program (tools/hv_peer) driven line by line, for tests of
// what two processes on one data folder see of each other.
#include <QProcess>

#include <string>

namespace hv::test {

class PeerProcess {
public:
    PeerProcess();
    // The peer in a mount namespace of its own (unshare as a mapped root user),
    // after the shell commands of setup have run there: for a small or
    // read-only file system. Check usable() before relying on it.
    explicit PeerProcess(const std::string& setup);
    ~PeerProcess();

    // Sends one command and waits for its one-line reply ("ok ..." / "err ...").
    std::string send(const std::string& command, int timeoutMs = 20000);
    // Sends a command that does not answer until it ends (such as a loop).
    void sendNoWait(const std::string& command);
    std::string readLine(int timeoutMs = 20000);
    void kill(); // SIGKILL, then waits for the process to end
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process.processId(); }
    // The peer answers (the namespace and its setup worked).
    bool usable();

private:
    QProcess m_process;
};

} // namespace hv::test
