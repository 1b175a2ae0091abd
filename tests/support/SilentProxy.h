#pragma once

#include <atomic>
#include <thread>

// A TCP relay on 127.0.0.1 between the program and the test server that can stop
// answering at any moment, as a frozen server or a pulled cable does: once frozen it
// keeps every connection open and accepts new ones, but passes nothing either way.
// Frozen from the start, it is a listener that accepts and never answers.
class SilentProxy {
public:
    SilentProxy(int targetPort, bool frozen = false);
    ~SilentProxy();
    SilentProxy(const SilentProxy&) = delete;
    SilentProxy& operator=(const SilentProxy&) = delete;

    int port() const { return m_port; }
    void freeze() { m_frozen = true; }

private:
    void run();

    int m_targetPort;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_frozen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
