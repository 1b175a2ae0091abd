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
    // Pairs of sockets: an even index is the program's side, the next one the server's;
    // -1 once that side has closed.
    std::vector<int> fds;
    char buffer[65536];
    while (!m_stop) {
        std::vector<pollfd> polled{{m_listen, POLLIN, 0}};
        std::vector<size_t> index{0};
        if (!m_frozen)
            for (size_t k = 0; k < fds.size(); ++k)
                if (fds[k] >= 0) {
                    polled.push_back({fds[k], POLLIN, 0});
                    index.push_back(k);
                }
        if (::poll(polled.data(), polled.size(), 20) <= 0) continue;
        if (polled[0].revents & POLLIN) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in a = loopback(m_targetPort);
            if (!m_frozen) ::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a);
            fds.push_back(client);
            fds.push_back(server);
        }
        for (size_t i = 1; i < polled.size(); ++i) {
            if (!(polled[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const size_t k = index[i];
            const ssize_t n = ::read(fds[k], buffer, sizeof buffer);
            const int peer = fds[k ^ 1];
            if (n > 0) {
                if (peer >= 0 && ::write(peer, buffer, static_cast<size_t>(n)) < 0) continue;
            } else {
                ::close(fds[k]);
                fds[k] = -1;
                if (peer >= 0) ::shutdown(peer, SHUT_WR);
            }
        }
    }
    for (int fd : fds)
        if (fd >= 0) ::close(fd);
}
