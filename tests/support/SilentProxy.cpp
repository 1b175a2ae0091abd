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

SilentProxy::SilentProxy(int targetPort, bool frozen) : m_targetPort(targetPort), m_frozen(frozen) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(m_listen, 16);
    socklen_t len = sizeof a;
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
    // side has closed (poll skips it).
    std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
    char buffer[65536];
    while (!m_stop) {
        // Frozen, only the listener is watched: what either side sends waits unread.
        if (::poll(fds.data(), m_frozen ? 1 : fds.size(), 20) <= 0) continue;
        for (size_t k = 1; k < fds.size() && !m_frozen; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const int peer = fds[k % 2 ? k + 1 : k - 1].fd;
            const ssize_t n = ::read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                if (peer >= 0 && ::write(peer, buffer, static_cast<size_t>(n)) < 0) continue;
            } else {
                ::close(fds[k].fd);
                fds[k].fd = -1;
                if (peer >= 0) ::shutdown(peer, SHUT_WR);
            }
        }
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in a = loopback(m_targetPort);
            if (!m_frozen) ::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a);
            fds.push_back({client, POLLIN, 0});
            fds.push_back({server, POLLIN, 0});
        }
    }
    for (size_t k = 1; k < fds.size(); ++k)
        if (fds[k].fd >= 0) ::close(fds[k].fd);
}
