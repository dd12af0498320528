// Start-up and memory of the program beside a bare Qt Widgets program,
// measured side by side: the two are started in turn (the order swapped
// every pair, so that drift on a shared machine hits both alike), each
// reporting its first painted frame through TARVEL_EXIT_AFTER_FIRST_PAINT.
//
//   startup_driver --program PATH --bare PATH [--pairs N]
//
// Per start it takes: the time from just before fork/exec to the first
// painted frame (the child reports CLOCK_MONOTONIC at that moment), the
// time from the top of the child's main to the same frame, and the child's
// peak resident memory (wait4's ru_maxrss). All runs share one temporary
// HOME, after one unmeasured start of each, so the program's first-start
// work (the file-type association, new settings) is left out; one start
// with a fresh HOME is measured apart and shown on its own line. The bare
// window is given the size the program's window reports, so that both paint
// as many pixels. On Qt's offscreen platform both get a 1280 x 1024 screen.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 30000;

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Start {
    double fromExecMs = 0; // fork/exec to the first painted frame
    double fromMainMs = 0; // top of main to the first painted frame
    long peakKiB = 0;      // peak resident memory of the whole run
    std::string size;      // of the window, "WxH"
};

std::string makeHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvel-startup-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    for (const char *sub : {"/.config", "/.local/share", "/.cache", "/run"})
        std::filesystem::create_directories(pattern + sub);
    chmod((pattern + "/run").c_str(), 0700);
    return pattern;
}

std::optional<Start> runOnce(const std::string &program, const std::string &home,
                             const std::string &size = {}) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    const long long t0 = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
        setenv("BROWSER", "true", 1);
        setenv("TARVEL_EXIT_AFTER_FIRST_PAINT", "1", 1);
        dup2(fds[1], STDERR_FILENO);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        if (size.empty())
            execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        else
            execl(program.c_str(), program.c_str(), "--size", size.c_str(),
                  static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    pollfd pfd{fds[0], POLLIN, 0};
    bool timedOut = false;
    for (;;) {
        const int ready = poll(&pfd, 1, kTimeoutMs);
        if (ready == 0) {
            timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (ready < 0 && errno == EINTR) continue;
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);

    const auto at = output.find("first-paint ");
    double mainMs = 0;
    long long paintNs = 0;
    if (timedOut || at == std::string::npos ||
        std::sscanf(output.c_str() + at, "first-paint main-ms=%lf monotonic-ns=%lld", &mainMs,
                    &paintNs) != 2) {
        std::fprintf(stderr, "%s: no first-paint report%s\n%s\n", program.c_str(),
                     timedOut ? " (timed out)" : "", output.c_str());
        return std::nullopt;
    }
    std::string windowSize;
    if (const auto s = output.find("size=", at); s != std::string::npos)
        windowSize = output.substr(s + 5, output.find_first_of(" \n", s) - s - 5);
    return Start{static_cast<double>(paintNs - t0) / 1e6, mainMs, usage.ru_maxrss, windowSize};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}

struct Series {
    std::vector<double> fromExec, fromMain, peakMiB;
    void add(const Start &s) {
        fromExec.push_back(s.fromExecMs);
        fromMain.push_back(s.fromMainMs);
        peakMiB.push_back(static_cast<double>(s.peakKiB) / 1024.0);
    }
};

void row(const char *what, const std::vector<double> &a, const std::vector<double> &b,
         const char *unit, double goal) {
    const double ma = median(a), mb = median(b), ratio = ma / mb;
    std::printf("  %-34s %9.1f %9.1f %s   ratio %.2f  (goal <= %.1f: %s)\n", what, ma, mb, unit,
                ratio, goal, ratio <= goal ? "met" : "NOT met");
}

} // namespace

int main(int argc, char **argv) {
    std::string program, bare;
    int pairs = 15;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (arg == "--bare" && i + 1 < argc)
            bare = argv[++i];
        else if (arg == "--pairs" && i + 1 < argc)
            pairs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s --program PATH --bare PATH [--pairs N]\n", argv[0]);
            return 2;
        }
    }
    if (program.empty() || bare.empty()) {
        std::fprintf(stderr, "usage: %s --program PATH --bare PATH [--pairs N]\n", argv[0]);
        return 2;
    }

    // Qt's offscreen screen is 800 x 600 by default, below the 1024 x 768
    // the program asks for (it would stop at its warning box): both
    // programs get a screen of 1280 x 1024 instead.
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::string screenConfig;
    if (!platform || std::string(platform).empty() || std::string(platform) == "offscreen") {
        screenConfig = makeHome() + "/offscreen.json";
        FILE *f = std::fopen(screenConfig.c_str(), "w");
        if (!f) return 2;
        std::fputs(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1280,)"
                   R"( "height": 1024, "dpi": 96, "dpr": 1}]})",
                   f);
        std::fclose(f);
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screenConfig).c_str(), 1);
    }

    const std::string freshHome = makeHome();
    const auto first = runOnce(program, freshHome);
    std::filesystem::remove_all(freshHome);

    const std::string home = makeHome();
    // Warm-up, not counted; the bare window takes the size of the program's.
    const auto warm = runOnce(program, home);
    if (!warm) return 1;
    const std::string size = warm->size;
    if (!runOnce(bare, home, size)) return 1;
    Series a, b;
    for (int i = 0; i < pairs; ++i) {
        const bool programFirst = i % 2 == 0;
        const auto s1 = programFirst ? runOnce(program, home) : runOnce(bare, home, size);
        const auto s2 = programFirst ? runOnce(bare, home, size) : runOnce(program, home);
        if (!s1 || !s2) return 1;
        a.add(programFirst ? *s1 : *s2);
        b.add(programFirst ? *s2 : *s1);
    }
    std::filesystem::remove_all(home);
    if (!screenConfig.empty())
        std::filesystem::remove_all(std::filesystem::path(screenConfig).parent_path());

    std::printf("Start-up to the first painted frame, %d pairs alternated (medians), both "
                "windows %s, %s\n",
                pairs, size.c_str(), std::getenv("QT_QPA_PLATFORM"));
    std::printf("  %-34s %9s %9s\n", "", "tarvel", "bare Qt");
    row("exec -> first frame", a.fromExec, b.fromExec, "ms ", 1.3);
    row("main() -> first frame", a.fromMain, b.fromMain, "ms ", 1.3);
    row("peak resident memory", a.peakMiB, b.peakMiB, "MiB", 1.3);
    std::printf("  %-34s %9.1f %9.1f ms   (90th percentile, exec -> first frame)\n", "",
                percentile(a.fromExec, 0.9), percentile(b.fromExec, 0.9));
    if (first)
        std::printf("  first start with a fresh HOME (association, new settings): %.1f ms, "
                    "%.1f MiB\n",
                    first->fromExecMs, static_cast<double>(first->peakKiB) / 1024.0);
    return 0;
}
