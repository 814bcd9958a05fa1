#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace hv {
namespace {

constexpr int kConnectWaitMs = 1000;
constexpr int kWriteWaitMs = 2000;
// A wake request is one short line; anything longer is not one of ours.
constexpr qint64 kMaxRequestLength = 64;

} // namespace

std::string InstanceServerName(const std::string& userName)
{
    std::string name = "Hourvane 3 " + userName;
    for (char& c : name)
        if (c == '/' || c == '\\')
            c = '_';
    return name;
}

SingleInstance::SingleInstance(std::string serverName) : m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listening() const { return m_server && m_server->isListening(); }

bool SingleInstance::claim()
{
    if (listening())
        return true;
    // Two copies started together must not both find no server, both remove
    // the name and both listen: the check and the listen happen under a lock
    // file. QLockFile takes over a lock whose owner process has died.
    QLockFile guard(QDir::temp().filePath(QString::fromStdString(m_name) + ".lock"));
    // A copy that cannot get the lock in time goes on without it.
    guard.tryLock(5000);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (wakeRunningCopy())
            return false;
        // Nobody answered: a name left by a crashed copy is in the way.
        QLocalServer::removeServer(QString::fromStdString(m_name));
        if (listen())
            return true;
    }
    // The session's name cannot be taken: run without the single-instance
    // guard rather than refuse to start.
    return true;
}

bool SingleInstance::wakeRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(m_name));
    if (!socket.waitForConnected(kConnectWaitMs))
        return false;
    socket.write(QByteArray(kWakeRequest) + '\n');
    socket.waitForBytesWritten(kWriteWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kWriteWaitMs);
    return true;
}

bool SingleInstance::listen()
{
    auto server = std::make_unique<QLocalServer>();
    // Only this user's own copies may wake this one.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(QString::fromStdString(m_name)))
        return false;
    m_server = std::move(server);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(),
                     [this] { acceptConnections(); });
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto handle = [this, socket] {
            // The second copy may already have gone: what it wrote is still there.
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                if (line == kWakeRequest && m_onWake)
                    m_onWake();
            }
            if (socket->bytesAvailable() > kMaxRequestLength)
                socket->abort();
        };
        QObject::connect(socket, &QLocalSocket::readyRead, socket, handle);
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        handle();
        if (socket->state() == QLocalSocket::UnconnectedState)
            socket->deleteLater();
    }
}

} // namespace hv
