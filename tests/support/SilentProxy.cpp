#include "support/SilentProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {
sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}
} // namespace

SilentProxy::SilentProxy(int targetPort, bool frozen)
    : m_targetPort(targetPort), m_listen(::socket(AF_INET, SOCK_STREAM, 0)), m_frozen(frozen) {
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), len);
    ::listen(m_listen, 16);
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { run(); });
}

SilentProxy::~SilentProxy() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

void SilentProxy::run() {
    // The listener, then pairs of sockets: the program's side, then the server's; -1 once that
    // side has closed (poll skips it). Frozen, only the listener is watched: what either side
    // sends waits unread.
    std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
    char buffer[65536];
    while (!m_stop) {
        if (::poll(fds.data(), m_frozen ? 1 : fds.size(), 20) <= 0) continue;
        for (size_t k = 1; k < fds.size() && !m_frozen; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const int peer = fds[k % 2 ? k + 1 : k - 1].fd;
            const ssize_t n = ::read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0 && peer >= 0 && ::write(peer, buffer, static_cast<size_t>(n)) < 0) continue;
            if (n > 0) continue;
            ::close(fds[k].fd);
            fds[k].fd = -1;
            if (peer >= 0) ::shutdown(peer, SHUT_WR);
        }
        if (!(fds[0].revents & POLLIN)) continue;
        const int client = ::accept(m_listen, nullptr, nullptr), server = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = loopback(m_targetPort);
        if (!m_frozen) ::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        fds.insert(fds.end(), {{client, POLLIN, 0}, {server, POLLIN, 0}});
    }
    for (size_t k = 1; k < fds.size(); ++k)
        if (fds[k].fd >= 0) ::close(fds[k].fd);
}
