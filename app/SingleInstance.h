#pragma once
// One copy per desktop session: the first copy listens on a local server named
// after "Hourvane 3" and the login user; a later copy connects, sends the wake
// request and ends, and the first copy restores and raises its window.
#include "platform/Shell.h"

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace hv {

// "Hourvane 3 " + the user name (separators replaced, so it stays one name).
std::string InstanceServerName(const std::string& userName);

class SingleInstance {
public:
    // The default name is the one of the session's login user.
    explicit SingleInstance(std::string serverName = InstanceServerName(LoginUserName()));
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first copy, which then listens for wake requests.
    // False when another copy answered: it has been sent the wake request and
    // this copy must end without creating anything. A server name left behind
    // by a copy that crashed is removed and taken over.
    bool claim();

    // Called on the running copy for every wake request (from its event loop).
    void setWakeHandler(std::function<void()> handler) { m_onWake = std::move(handler); }

    bool listening() const;
    const std::string& serverName() const { return m_name; }

    // The wake request as it travels over the connection.
    static constexpr const char* kWakeRequest = "Hourvane 3";

private:
    bool wakeRunningCopy();
    bool listen();
    void acceptConnections();

    std::string m_name;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onWake;
};

} // namespace hv
