#pragma once

#include <csignal>
#include <sys/resource.h>

// A disk that is full for as long as the object lives: files of this process cannot grow
// past a few hundred bytes, and writes beyond fail (with no signal) as on a full disk.
class DisquePlein {
public:
    DisquePlein() {
        getrlimit(RLIMIT_FSIZE, &m_avant);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit petit = m_avant;
        petit.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &petit);
    }
    ~DisquePlein() {
        setrlimit(RLIMIT_FSIZE, &m_avant);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_avant{};
    void (*m_signal)(int) = nullptr;
};
