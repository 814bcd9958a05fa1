#include "tests/support/PeerProcess.h"

#include <QElapsedTimer>

#include <stdexcept>

namespace hv::test {

PeerProcess::PeerProcess()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(HV_TOOLS_DIR "/hv_peer"), {});
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("cannot start hv_peer");
}

PeerProcess::PeerProcess(const std::string& setup)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start("unshare",
                    {"--user", "--map-root-user", "--mount", "sh", "-c",
                     QString::fromStdString(setup) + " && exec \"$0\"", QStringLiteral(HV_TOOLS_DIR "/hv_peer")});
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("cannot start unshare");
}

bool PeerProcess::usable() { return running() && send("echo") == "err 0 unknown command echo"; }

PeerProcess::~PeerProcess()
{
    if (running()) {
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            kill();
    }
}

std::string PeerProcess::readLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_process.canReadLine()) {
        int left = timeoutMs - int(timer.elapsed());
        if (left <= 0 || !m_process.waitForReadyRead(left)) {
            if (!m_process.canReadLine())
                return "timeout";
        }
    }
    return m_process.readLine().trimmed().toStdString();
}

std::string PeerProcess::send(const std::string& command, int timeoutMs)
{
    sendNoWait(command);
    return readLine(timeoutMs);
}

void PeerProcess::sendNoWait(const std::string& command)
{
    m_process.write((command + "\n").c_str());
    m_process.waitForBytesWritten(5000);
}

void PeerProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}

} // namespace hv::test
