// Named pipes for the tests that check the program never waits on one.
//
// Opening a FIFO for reading blocks until a writer comes, so a test must end
// even when the program does block: after a grace period (longer than any
// correct, non-blocking look at the pipe takes) the rescuer keeps opening
// the pipe for writing. That succeeds only while a reader holds the pipe,
// and it lets a stuck open() return and a stuck read() see the end of the
// data; the test then fails on rescued().
#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel::testing {

inline bool makeFifo(const QString &path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

class PipeRescuer {
public:
    explicit PipeRescuer(const QString &fifo)
        : fifo_(QFile::encodeName(fifo)), thread_([this] { run(); }) {}
    PipeRescuer(const PipeRescuer &) = delete;
    PipeRescuer &operator=(const PipeRescuer &) = delete;
    ~PipeRescuer() {
        done_ = true;
        thread_.join();
    }
    // Whether a reader was found holding the pipe after the grace period.
    bool rescued() const { return rescued_; }

private:
    void run() {
        const auto start = std::chrono::steady_clock::now();
        while (!done_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) continue;
            const int fd = ::open(fifo_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                rescued_ = true;
                ::close(fd);
            }
        }
    }

    const QByteArray fifo_;
    std::atomic<bool> done_{false};
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

} // namespace tarvel::testing
