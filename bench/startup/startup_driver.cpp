// Start-up and memory of the program beside two plain Qt Widgets programs:
// one with the same controls as the main window (--same) and one with a
// single label (--bare). The programs are started in turn, the order
// rotated every round, so that drift on a shared machine hits all alike;
// each reports its first painted frame through TARVEL_EXIT_AFTER_FIRST_PAINT.
//
//   startup_driver --program PATH --bare PATH [--same PATH] [--pairs N]
//
// Per start it takes: the time from just before fork/exec to the first
// painted frame (the child reports CLOCK_MONOTONIC at that moment), the
// time from the top of the child's main to the same frame, and the child's
// peak resident memory (wait4's ru_maxrss). All runs share one temporary
// HOME, after one unmeasured start of each, so the program's first-start
// work (the file-type association, new settings) is left out; one start
// with a fresh HOME is measured apart and shown on its own line. The bare
// window is given the size the program's window reports, so that both paint
// as many pixels; the same-controls window has that size of its own. On
// Qt's offscreen platform all get a 1280 x 1024 screen.
//
// The goal printed here is the memory one (at most 1.2 x the one-label
// window's peak); the times are shown as ratios beside it. The start-up
// goal against the same-controls window is one of instructions, which
// scripts/bench-startup counts with callgrind.
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
                             const std::vector<std::string> &args = {}) {
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
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
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

// One line of medians: the program's, each yardstick's, and the ratio to
// the first yardstick; a goal (> 0) gets its verdict.
void row(const char *what, const Series &own, const std::vector<const Series *> &others,
         std::vector<double> Series::*field, const char *unit, double goal = 0) {
    const double mine = median(own.*field);
    std::printf("  %-24s %9.1f", what, mine);
    for (const Series *o : others)
        std::printf(" %9.1f", median(o->*field));
    std::printf(" %s", unit);
    for (const Series *o : others)
        std::printf("   ratio %.3f", mine / median(o->*field));
    if (goal > 0) {
        const double ratio = mine / median(others.back()->*field);
        std::printf("  (goal <= %.1f x one label: %s)", goal, ratio <= goal ? "met" : "NOT met");
    }
    std::printf("\n");
}

const char *kUsage = "usage: %s --program PATH --bare PATH [--same PATH] [--pairs N]\n";

} // namespace

int main(int argc, char **argv) {
    std::string program, bare, same;
    int pairs = 15;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (arg == "--bare" && i + 1 < argc)
            bare = argv[++i];
        else if (arg == "--same" && i + 1 < argc)
            same = argv[++i];
        else if (arg == "--pairs" && i + 1 < argc)
            pairs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, kUsage, argv[0]);
            return 2;
        }
    }
    if (program.empty() || bare.empty()) {
        std::fprintf(stderr, kUsage, argv[0]);
        return 2;
    }

    // Qt's offscreen screen is 800 x 600 by default, below the 1024 x 768
    // the program asks for (it would stop at its warning box): every
    // program gets a screen of 1280 x 1024 instead.
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
    struct Contender {
        std::string path;
        std::vector<std::string> args;
        Series series;
        std::string size;
    };
    std::vector<Contender> all{{program, {}, {}, size}};
    if (!same.empty()) all.push_back({same, {}, {}, {}});
    all.push_back({bare, {"--size", size}, {}, size});
    for (std::size_t k = 1; k < all.size(); ++k) {
        const auto s = runOnce(all[k].path, home, all[k].args);
        if (!s) return 1;
        all[k].size = s->size;
    }
    for (int i = 0; i < pairs; ++i) {
        // Each round starts with the next one, so every program comes first,
        // in the middle and last as often as the others.
        for (std::size_t j = 0; j < all.size(); ++j) {
            Contender &c = all[(i + j) % all.size()];
            const auto s = runOnce(c.path, home, c.args);
            if (!s) return 1;
            c.series.add(*s);
        }
    }
    std::filesystem::remove_all(home);
    if (!screenConfig.empty())
        std::filesystem::remove_all(std::filesystem::path(screenConfig).parent_path());

    std::vector<const Series *> others;
    for (std::size_t k = 1; k < all.size(); ++k)
        others.push_back(&all[k].series);
    const Series &own = all[0].series;
    std::printf("Start-up to the first painted frame, %d rounds of %zu starts in turn (medians), "
                "%s\n",
                pairs, all.size(), std::getenv("QT_QPA_PLATFORM"));
    std::printf("  windows: tarvel %s", size.c_str());
    if (!same.empty()) std::printf(", same controls %s", all[1].size.c_str());
    std::printf(", one label %s\n", all.back().size.c_str());
    std::printf("  %-24s %9s", "", "tarvel");
    if (!same.empty()) std::printf(" %9s", "same ctl");
    std::printf(" %9s\n", "one label");
    row("exec -> first frame", own, others, &Series::fromExec, "ms ");
    row("main() -> first frame", own, others, &Series::fromMain, "ms ");
    row("peak resident memory", own, others, &Series::peakMiB, "MiB", 1.2);
    std::printf("  %-24s %9.1f", "exec -> first frame p90", percentile(own.fromExec, 0.9));
    for (const Series *o : others)
        std::printf(" %9.1f", percentile(o->fromExec, 0.9));
    std::printf(" ms\n");
    if (first)
        std::printf("  first start with a fresh HOME (association, new settings): %.1f ms, "
                    "%.1f MiB\n",
                    first->fromExecMs, static_cast<double>(first->peakKiB) / 1024.0);
    return 0;
}
