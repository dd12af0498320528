// Named pipes for the tests that check the program never waits on one.
//
// Opening a FIFO for reading blocks until a writer comes. A test that hands
// a FIFO to the program must end even when the program does block: after a
// grace period the rescuer opens the pipe for writing (again and again,
// until the test is done), which lets a stuck open() return and a stuck
// read() see the end of the data. The test then fails on rescued().
#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
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
    explicit PipeRescuer(const QString &fifo,
                         std::chrono::milliseconds grace = std::chrono::seconds(3))
        : fifo_(QFile::encodeName(fifo)), thread_([this, grace] { run(grace); }) {}
    PipeRescuer(const PipeRescuer &) = delete;
    PipeRescuer &operator=(const PipeRescuer &) = delete;
    ~PipeRescuer() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    // Whether a reader was found waiting on the pipe after the grace period.
    bool rescued() const { return rescued_; }

private:
    void run(std::chrono::milliseconds grace) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, grace, [this] { return done_; })) return;
        while (!done_) {
            // Succeeds only while some reader has the pipe open.
            const int fd = ::open(fifo_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                rescued_ = true;
                ::close(fd);
            }
            wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; });
        }
    }

    QByteArray fifo_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

} // namespace tarvel::testing
