// Whole-process costs of print against floors measured in the same run, interleaved so the
// machine's load falls on both alike: start-up to the sign-in form against a minimal Qt
// Widgets window (bench_floor_window), and one two-passenger booking to PDF against a minimal
// one-page Qt PDF program (bench_floor_pdf). Prints the median wall time of each and the
// ratios. print's data folder names the floor's fonts in info.ini, so both draw the same
// installed fonts (print's default receipt fonts are not installed here, and looking for
// them costs a fontconfig fallback search). Usage: bench_process [RUNS]; WS_BENCH_PRINT
// names another print to measure (an earlier build, for comparison).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Command {
    const char* name;
    std::vector<std::string> argv;
    bool quitWhenShown;
    std::vector<double> ms;
};

// Runs one command to its end; its wall time in milliseconds, negative on failure. A "CODE"
// argument becomes a check code of its own each run (the receipt log refuses a used one).
double runOnce(const Command& c) {
    static int code = 41;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    if (c.quitWhenShown) env.emplace_back("WS_QUIT_WHEN_SHOWN=1");
    std::vector<char*> argv, envp;
    std::vector<std::string> args = c.argv;
    for (std::string& a : args)
        if (a == "CODE") a = std::to_string(1000 + (code += 2) % 8000); // two receipts a run
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data()) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&quiet);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    QTemporaryDir dir;
    const std::string tmp = dir.path().toStdString();
    QFile info(dir.filePath(QStringLiteral("info.ini")));
    if (!info.open(QIODevice::WriteOnly) ||
        info.write("<font>\r\n<fonttype1>WenQuanYi Zen Hei</fonttype1>\r\n"
                   "<fonttype2>DejaVu Sans</fonttype2>\r\n</font>\r\n") < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(info.fileName()));
        return 1;
    }
    info.close();
    const std::string bench = WS_BENCH_DIR, source = WS_SOURCE_DIR;
    const char* other = std::getenv("WS_BENCH_PRINT");
    const std::string print = other && *other ? other : WS_BIN_DIR "/print";
    std::vector<Command> commands = {
        {"sign-in form (print)", {print, "--data-dir", tmp}, true, {}},
        {"Qt Widgets window (floor)", {bench + "/bench_floor_window"}, false, {}},
        {"receipt to PDF (print)",
         {print, "--pnr", source + "/samples/two_passengers.txt", "--pdf", tmp + "/receipt.pdf",
          "--check-code", "CODE", "--data-dir", tmp},
         false,
         {}},
        {"one-page Qt PDF (floor)", {bench + "/bench_floor_pdf", tmp + "/floor.pdf"}, false, {}},
    };
    for (Command& c : commands) // warm the page cache once
        runOnce(c);
    for (int i = 0; i < runs; ++i)
        for (Command& c : commands) {
            const double ms = runOnce(c);
            if (ms < 0) {
                std::fprintf(stderr, "%s failed\n", c.name);
                return 1;
            }
            c.ms.push_back(ms);
        }
    for (const Command& c : commands)
        std::printf("%-28s median %7.1f ms over %d runs\n", c.name, median(c.ms), runs);
    std::printf("ratio sign-in form / window floor  %5.2f  (goal <= 1.6)\n",
                median(commands[0].ms) / median(commands[1].ms));
    std::printf("ratio receipt PDF / PDF floor      %5.2f  (goal <= 1.6)\n",
                median(commands[2].ms) / median(commands[3].ms));
    return 0;
}
