// quorvelin-startup-bench: time from process start to the first finished frame,
// for several programs in turn, in the same run. Each program is told through
// an environment variable where to log that moment (one decimal line, 100 ns
// units since 1601 on the system clock): the offscreen programs through the
// preloaded first-frame probe, the Windows programs under Wine through their
// own start-up log. Rounds alternate between the programs so that they share
// whatever else the machine is doing.
//   quorvelin-startup-bench [--rounds N] [--var NAME] [--kill] [--windows-path] [--env NAME=VALUE]...
//                           --run LABEL 'COMMAND ARGS' [--run LABEL 'COMMAND ARGS']...
// --kill ends a program as soon as it has logged (a saver runs until input);
// --windows-path names the log file as Wine sees it (Z: is the Unix root).
// Also reports each program's peak resident memory. Prints markdown table rows:
// median, 10th-90th percentile in milliseconds, and the ratio of each program's
// median to the last one's (the last --run is the yardstick).
// Exit status 0, 1 when a program never logged, 2 on a bad command line.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/sample_stats.h"

extern char** environ;

namespace {
const char* const kUsage = "usage: quorvelin-startup-bench [--rounds N] [--var NAME] [--kill] [--windows-path] "
                           "[--env NAME=VALUE]... "
                           "--run LABEL 'COMMAND ARGS'...";
const double kTimeoutSeconds = 60.0;

struct Program {
    std::string label;
    std::vector<std::string> arguments;
    std::vector<double> startMs;
    std::vector<double> peakKiB;
};

struct Options {
    int rounds = 10;
    std::string variable = "QUORVELIN_LOG_FIRST_FRAME";
    bool kill = false;
    bool windowsPath = false;
    std::vector<std::string> environment;
    std::vector<Program> programs;
};

std::vector<std::string> splitWords(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--kill") {
            options.kill = true;
        } else if (name == "--windows-path") {
            options.windowsPath = true;
        } else if (name == "--rounds" && i + 1 < argc) {
            options.rounds = std::atoi(argv[++i]);
            if (options.rounds < 1)
                return false;
        } else if (name == "--var" && i + 1 < argc) {
            options.variable = argv[++i];
        } else if (name == "--env" && i + 1 < argc) {
            options.environment.push_back(argv[++i]);
        } else if (name == "--run" && i + 2 < argc) {
            Program program;
            program.label = argv[++i];
            program.arguments = splitWords(argv[++i]);
            if (program.arguments.empty())
                return false;
            options.programs.push_back(program);
        } else {
            return false;
        }
    }
    return !options.programs.empty();
}

// The system clock in the log's unit: 100 ns since 1601.
unsigned long long nowTicks()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return 116444736000000000ULL + static_cast<unsigned long long>(now.tv_sec) * 10000000ULL
           + static_cast<unsigned long long>(now.tv_nsec) / 100ULL;
}

// The logged moment, once the line is complete.
bool readLog(const std::string& path, unsigned long long& ticks)
{
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || in.eof())
        return false;
    char* end = nullptr;
    ticks = std::strtoull(line.c_str(), &end, 10);
    return end != line.c_str();
}

// Runs one program until it has logged (and, with --kill, ends it); false when
// it never logs. Fills the time to the first frame and the peak memory.
bool runOnce(const Options& options, const std::string& logPath, Program& program)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        environment.push_back(*entry);
    for (const std::string& entry : options.environment)
        environment.push_back(entry);
    std::string logName = logPath;
    if (options.windowsPath) {
        for (char& c : logName)
            c = c == '/' ? '\\' : c;
        logName = "Z:" + logName;
    }
    environment.push_back(options.variable + "=" + logName);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (std::string& argument : program.arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    std::remove(logPath.c_str());
    const unsigned long long start = nowTicks();
    pid_t pid = 0;
    // What the program prints (the player names the files it wrote) would
    // land among this tool's table rows.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        std::fprintf(stderr, "quorvelin-startup-bench: cannot start %s\n", argv[0]);
        return false;
    }
    unsigned long long logged = 0;
    bool haveLog = false;
    bool exited = false;
    int status = 0;
    rusage usage{};
    const timespec poll{0, 200000};
    while (!haveLog) {
        haveLog = readLog(logPath, logged);
        if (haveLog)
            break;
        if (wait4(pid, &status, WNOHANG, &usage) == pid) {
            exited = true;
            haveLog = readLog(logPath, logged);
            break;
        }
        if ((nowTicks() - start) / 1e7 > kTimeoutSeconds)
            break;
        nanosleep(&poll, nullptr);
    }
    if (!exited) {
        if (options.kill || !haveLog)
            ::kill(pid, SIGKILL);
        wait4(pid, &status, 0, &usage);
    }
    if (!haveLog) {
        std::fprintf(stderr, "quorvelin-startup-bench: %s logged no first frame\n", program.label.c_str());
        return false;
    }
    program.startMs.push_back(static_cast<double>(static_cast<long long>(logged - start)) / 1e4);
    program.peakKiB.push_back(static_cast<double>(usage.ru_maxrss));
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "quorvelin-startup-bench: bad command line (%s)\n", kUsage);
        return 2;
    }
    char directory[] = "/tmp/quorvelin-startup-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        std::perror("quorvelin-startup-bench: mkdtemp");
        return 1;
    }
    const std::string logPath = std::string(directory) + "/first-frame.log";
    bool ok = true;
    for (int round = 0; round < options.rounds && ok; ++round)
        for (Program& program : options.programs)
            ok = ok && runOnce(options, logPath, program);
    std::remove(logPath.c_str());
    rmdir(directory);
    if (!ok)
        return 1;

    const double yardstick = summarise(options.programs.back().startMs).median;
    for (const Program& program : options.programs) {
        const SampleStats start = summarise(program.startMs);
        const SampleStats peak = summarise(program.peakKiB);
        std::printf("| %s | %.1f | %.1f-%.1f | %zu | %.2f | %.0f |\n", program.label.c_str(), start.median,
                    start.p10, start.p90, start.count, start.median / yardstick, peak.median / 1024.0);
    }
    return 0;
}
