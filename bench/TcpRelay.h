#pragma once

// A TCP relay on the loopback between the program and its database server. Everything
// the program sends waits a fixed delay before it goes on to the server, so that each
// round trip costs what it would on an office network, measured rather than computed.
//
// Bounded: it listens on 127.0.0.1 only and connects to 127.0.0.1 only, takes at most
// eight connections, stops reading a connection whose queue passes 64 MB, and stops by
// itself when destroyed or after its time limit.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class TcpRelay {
public:
    using Clock = std::chrono::steady_clock;

    TcpRelay(int targetPort, std::chrono::microseconds delay,
             std::chrono::seconds limit = std::chrono::seconds(900))
        : m_target(targetPort), m_delay(delay), m_deadline(Clock::now() + limit) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a = loopback(0);
        socklen_t len = sizeof a;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(m_listen, 8) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            throw std::runtime_error("relay: cannot listen on the loopback");
        m_port = ntohs(a.sin_port);
        m_wake = ::eventfd(0, 0);
        m_thread = std::thread([this] { run(); });
    }
    ~TcpRelay() {
        const std::uint64_t one = 1;
        (void)!::write(m_wake, &one, sizeof one);
        m_thread.join();
        for (Pair& p : m_pairs)
            closePair(p);
        ::close(m_listen);
        ::close(m_wake);
    }
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

    int port() const { return m_port; }

private:
    struct Chunk {
        Clock::time_point due;
        std::string data;
    };
    struct Pair {
        int client = -1;
        int server = -1;
        std::deque<Chunk> toServer;
        size_t queued = 0;
        bool closed = false;
    };
    static constexpr size_t kMaxPairs = 8;
    static constexpr size_t kMaxQueued = 64u << 20;

    static sockaddr_in loopback(int port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static bool sendAll(int fd, const char* data, size_t size) {
        while (size > 0) {
            const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
            if (n <= 0) return false;
            data += n;
            size -= size_t(n);
        }
        return true;
    }
    static void closePair(Pair& p) {
        if (p.client >= 0) ::close(p.client);
        if (p.server >= 0) ::close(p.server);
        p.client = p.server = -1;
    }

    void accept() {
        const int c = ::accept(m_listen, nullptr, nullptr);
        if (c < 0) return;
        if (m_pairs.size() >= kMaxPairs) {
            ::close(c);
            return;
        }
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = loopback(m_target);
        if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
            ::close(c);
            ::close(s);
            return;
        }
        const int on = 1;
        ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Pair p;
        p.client = c;
        p.server = s;
        m_pairs.push_back(std::move(p));
    }

    void run() {
        std::vector<char> buffer(1 << 16);
        while (Clock::now() < m_deadline) {
            // Sleep until the next chunk is due, or a socket has something.
            auto wait = std::chrono::nanoseconds(std::chrono::milliseconds(200));
            const auto now = Clock::now();
            for (const Pair& p : m_pairs)
                if (!p.toServer.empty())
                    wait = std::min<std::chrono::nanoseconds>(
                        wait, std::max(p.toServer.front().due - now, Clock::duration::zero()));
            std::vector<pollfd> fds{{m_wake, POLLIN, 0}, {m_listen, POLLIN, 0}};
            for (const Pair& p : m_pairs) {
                fds.push_back({p.client, short(p.queued < kMaxQueued ? POLLIN : 0), 0});
                fds.push_back({p.server, POLLIN, 0});
            }
            const timespec ts{time_t(wait.count() / 1000000000), long(wait.count() % 1000000000)};
            if (::ppoll(fds.data(), fds.size(), &ts, nullptr) < 0) break;
            if (fds[0].revents) break;
            if (fds[1].revents & POLLIN) accept();
            for (size_t i = 0; i < m_pairs.size() && 2 + 2 * i + 1 < fds.size(); ++i) {
                Pair& p = m_pairs[i];
                if (fds[2 + 2 * i].revents) {
                    const ssize_t n = ::recv(p.client, buffer.data(), buffer.size(), 0);
                    if (n <= 0) {
                        p.closed = true;
                    } else {
                        p.toServer.push_back({Clock::now() + m_delay, std::string(buffer.data(), size_t(n))});
                        p.queued += size_t(n);
                    }
                }
                if (fds[2 + 2 * i + 1].revents) {
                    const ssize_t n = ::recv(p.server, buffer.data(), buffer.size(), 0);
                    if (n <= 0 || !sendAll(p.client, buffer.data(), size_t(n))) p.closed = true;
                }
            }
            const auto later = Clock::now();
            for (Pair& p : m_pairs) {
                while (!p.toServer.empty() && p.toServer.front().due <= later) {
                    const Chunk& c = p.toServer.front();
                    if (!sendAll(p.server, c.data.data(), c.data.size())) p.closed = true;
                    p.queued -= c.data.size();
                    p.toServer.pop_front();
                }
                if (p.closed) closePair(p);
            }
            m_pairs.erase(
                std::remove_if(m_pairs.begin(), m_pairs.end(), [](const Pair& p) { return p.closed; }),
                m_pairs.end());
        }
    }

    int m_target;
    std::chrono::microseconds m_delay;
    Clock::time_point m_deadline;
    int m_listen = -1;
    int m_wake = -1;
    int m_port = 0;
    std::vector<Pair> m_pairs; // touched by the relay's thread only, once it runs
    std::thread m_thread;
};
