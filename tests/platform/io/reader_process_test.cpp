// The reader process as the program starts it: it dies with the program,
// ends at once when the program was gone before the reader could tie its
// life to it, and carries its own limits.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The reader of this build, as support/reader_path.cpp names it.
QByteArray readerPath() {
    return qgetenv("TARVEL_SHEET_READER");
}

// Starts args[0], with descriptor 3 a copy of `resultFd` when given.
pid_t start(const std::vector<QByteArray> &args, int resultFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (resultFd >= 0) posix_spawn_file_actions_adddup2(&actions, resultFd, 3);
    std::vector<char *> argv;
    for (const QByteArray &arg : args)
        argv.push_back(const_cast<char *>(arg.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

// The limits of a process as /proc shows them, each run of blanks made one
// ("Max cpu time 15 16 seconds"); empty when the process is gone.
QByteArray limitsOf(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/limits").arg(pid));
    return file.open(QIODevice::ReadOnly) ? file.readAll().simplified() : QByteArray();
}

} // namespace

// The program killed while its reader reads takes the reader with it. The
// reader must not end by itself meanwhile: this process opens the reader's
// result pipe as a second reader and never reads, so once the parent is gone
// the reader's write of its cells (more than a pipe holds) blocks for good.
// Orphans come to this process (a subreaper), so reaping the reader tells how
// it ended. Caught at it, the reader shows a processor-time limit somewhat
// above the ten seconds a reading may take, and no core dumps.
TEST(ReaderProcess, DiesWithItsParentAndLimitsItsProcessorTime) {
    QTemporaryDir dir;
    QFile workbook(dir.filePath("long.csv")); // half a second of reading
    ASSERT_TRUE(workbook.open(QIODevice::WriteOnly));
    const QByteArray rows = QByteArray("1234.5,6789.25\n").repeated(3500000);
    ASSERT_EQ(workbook.write(rows), rows.size());
    workbook.close();
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    struct Restore {
        ~Restore() { prctl(PR_SET_CHILD_SUBREAPER, 0); }
    } restore;

    const auto bound = [](auto done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    constexpr auto kLimited = [](const QByteArray &limits) {
        return limits.contains("Max cpu time 15 16 seconds") &&
               limits.contains("Max core file size 0 0 bytes");
    };
    QByteArray limits;
    for (int attempt = 0; attempt < 5; ++attempt) { // a reading that outruns this test: again
        const pid_t parent =
            start({TARVEL_READER_PARENT, readerPath(), QFile::encodeName(workbook.fileName())});
        ASSERT_GT(parent, 0);
        const std::string children =
            "/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children";
        pid_t reader = 0;
        bool parentEnded = false;
        limits.clear();
        bound([&] {
            std::ifstream(children) >> reader;
            if (reader > 0) limits = limitsOf(reader);
            if (kLimited(limits)) return true;
            return parentEnded = waitpid(parent, nullptr, WNOHANG) == parent;
        });
        const std::string pipe = "/proc/" + std::to_string(reader) + "/fd/3";
        const int held = parentEnded || !kLimited(limits)
                             ? -1
                             : ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (!parentEnded) {
            kill(parent, SIGKILL);
            waitpid(parent, nullptr, 0);
        }
        if (held < 0) continue;

        int status = 0;
        pid_t ended = 0;
        bound([&] { return (ended = waitpid(reader, &status, WNOHANG)) != 0; });
        ::close(held);
        if (ended == 0) {
            kill(reader, SIGKILL);
            waitpid(reader, nullptr, 0);
            FAIL() << "the reader outlived its parent by 20 s";
        }
        // Reaped by its parent, or done with its cells: caught too late.
        if (ended < 0 || WIFEXITED(status)) continue;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
        return;
    }
    FAIL() << "no reader caught reading with its limits; last seen: " << limits.toStdString();
}

// When its parent is not the process it was told of, the program ended
// before the reader could tie its life to it: the reader ends at once and
// reads nothing. A reading by hand names no parent.
TEST(ReaderProcess, ReadsOnlyForTheParentItIsToldOf) {
    const QByteArray workbook = QFile::encodeName(
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../../data/workbooks/comma.csv");
    struct Case {
        const char *name;
        std::vector<QByteArray> parent;
        int exitStatus;
        bool reads;
    };
    const Case cases[] = {
        {"this process named", {QByteArray::number(getpid())}, 0, true},
        {"another process named", {QByteArray::number(getpid() + 1)}, 1, false},
        {"no process id", {"12x"}, 2, false},
        {"none named", {}, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int fds[2];
        ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
        std::vector<QByteArray> args = {readerPath(), workbook};
        args.insert(args.end(), c.parent.begin(), c.parent.end());
        const pid_t reader = start(args, fds[1]);
        ::close(fds[1]);
        ASSERT_GT(reader, 0);
        QByteArray out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, n);
        ::close(fds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(reader, &status, 0), reader);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitStatus) << status;
        ASSERT_EQ(!out.isEmpty(), c.reads);
        if (!c.reads) continue;
        // A1 first: a number (kind 1) and its eight bytes.
        ASSERT_GE(out.size(), 9);
        EXPECT_EQ(out[0], 1);
        double a1 = 0;
        std::memcpy(&a1, out.constData() + 1, sizeof a1);
        EXPECT_EQ(a1, 1234.56);
    }
}
