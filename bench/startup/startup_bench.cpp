// startup_bench: how long a program takes from its start to the first map of its window, and its
// peak resident memory, for a program and a yardstick, run in pairs in the same X session.
//
//   startup_bench [--runs N] ROOTLOG PROGRAM YARDSTICK
//
// Each pair starts the two one right after the other, the program first in every other pair, so
// that a change of the machine's load touches both halves of a pair alike. The ratio of the pairs'
// times and memories is given as the median ratio with its 95 % interval: the range between the
// order statistics that hold the true median with at least that probability, whatever the ratios'
// distribution. The processor time the two used is compared too: on a busy machine it moves less
// than the time to the map.
// The time runs from just before the process is spawned to the arrival of the root window's map
// event for a window of that process, as logged by ROOTLOG (the tests' X client), so it holds the
// window manager's part too. Each process is ended 300 ms after its map; its peak resident memory
// is what the kernel reports for it at its end. Figures are printed, not judged.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

long long nowMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

pid_t spawn(const std::string& path, int stdoutFd = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Reads the logger's output line by line, waiting at most until a deadline.
class LineReader {
 public:
  explicit LineReader(int fd) : m_fd(fd) {}

  std::optional<std::string> next(long long deadline) {
    for (;;) {
      const auto end = m_buffer.find('\n');
      if (end != std::string::npos) {
        std::string line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 1);
        return line;
      }
      const long long left = deadline - nowMicroseconds();
      if (left <= 0) return std::nullopt;
      pollfd p{m_fd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left / 1000 + 1)) <= 0) continue;
      char chunk[4096];
      const ssize_t got = read(m_fd, chunk, sizeof chunk);
      if (got <= 0) return std::nullopt;
      m_buffer.append(chunk, static_cast<size_t>(got));
    }
  }

 private:
  int m_fd;
  std::string m_buffer;
};

struct Run {
  double milliseconds = 0;
  double cpuMilliseconds = 0;  // user and system time of the whole run, for a machine not quiet
  double megabytes = 0;
};

// One start of `path`: the time to its first map and its peak memory; nothing if it never maps.
std::optional<Run> measure(const std::string& path, LineReader& log) {
  const long long start = nowMicroseconds();
  const pid_t pid = spawn(path);
  if (pid < 0) return std::nullopt;
  std::optional<long long> mappedAt;
  const std::string wanted = " pid=" + std::to_string(pid) + " ";
  while (auto line = log.next(start + 10'000'000)) {
    if (line->find(" map ") != std::string::npos && line->find(wanted) != std::string::npos) {
      mappedAt = std::stoll(*line);
      break;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  // Lines of this run that came after its map are of no further use.
  while (log.next(nowMicroseconds() + 50'000)) {
  }
  if (!mappedAt) return std::nullopt;
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return Run{(*mappedAt - start) / 1000.0, ms(usage.ru_utime) + ms(usage.ru_stime),
             usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median of `ratios` and the bounds of its 95 % distribution-free interval: the k-th smallest
// and k-th largest, k the largest rank with P(Binomial(n, 1/2) < k) <= 2.5 %.
struct Interval {
  double median, low, high;
};

Interval medianInterval(std::vector<double> ratios) {
  std::sort(ratios.begin(), ratios.end());
  const size_t n = ratios.size();
  double below = 0;                                     // P(Binomial(n, 1/2) < k)
  double term = std::pow(0.5, static_cast<double>(n));  // P(Binomial(n, 1/2) = k - 1)
  size_t k = 0;
  while (k + 1 <= n / 2 && below + term <= 0.025) {
    below += term;
    term *= static_cast<double>(n - k) / static_cast<double>(k + 1);
    ++k;
  }
  if (k == 0) return {median(ratios), ratios.front(), ratios.back()};
  return {median(ratios), ratios[k - 1], ratios[n - k]};
}

struct Summary {
  double minTime, medianTime, minMemory, medianMemory;
};

Summary summarise(const std::vector<Run>& runs) {
  std::vector<double> times, memories;
  for (const Run& run : runs) {
    times.push_back(run.milliseconds);
    memories.push_back(run.megabytes);
  }
  return {*std::min_element(times.begin(), times.end()), median(times),
          *std::min_element(memories.begin(), memories.end()), median(memories)};
}

}  // namespace

int main(int argc, char* argv[]) {
  int runs = 10;
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--runs") {
    runs = std::max(1, std::atoi(argv[2]));
    first = 3;
  }
  if (argc - first != 3) {
    std::fprintf(stderr, "usage: startup_bench [--runs N] ROOTLOG PROGRAM YARDSTICK\n");
    return 2;
  }
  const std::string rootlog = argv[first];
  const std::vector<std::string> programs = {argv[first + 1], argv[first + 2]};

  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;
  const pid_t logger = spawn(rootlog, pipeFds[1]);
  close(pipeFds[1]);
  LineReader log(pipeFds[0]);
  const auto ready = log.next(nowMicroseconds() + 5'000'000);
  if (logger < 0 || !ready || ready->rfind("ready", 0) != 0) {
    std::fprintf(stderr, "startup_bench: the event logger did not start\n");
    return 1;
  }

  // One start of each first, uncounted: the disk cache and the font cache are then warm for all.
  for (const auto& program : programs)
    measure(program, log);
  std::vector<std::vector<Run>> results(programs.size());
  std::vector<double> timeRatios, cpuRatios, memoryRatios;
  int failures = 0;
  for (int run = 0; run < runs; ++run) {
    std::optional<Run> pair[2];
    for (size_t turn = 0; turn < programs.size(); ++turn) {
      const size_t i = run % 2 == 0 ? turn : programs.size() - 1 - turn;
      pair[i] = measure(programs[i], log);
      if (pair[i]) {
        results[i].push_back(*pair[i]);
      } else {
        ++failures;
      }
    }
    if (pair[0] && pair[1]) {
      timeRatios.push_back(pair[0]->milliseconds / pair[1]->milliseconds);
      cpuRatios.push_back(pair[0]->cpuMilliseconds / pair[1]->cpuMilliseconds);
      memoryRatios.push_back(pair[0]->megabytes / pair[1]->megabytes);
    }
  }
  kill(logger, SIGTERM);
  waitpid(logger, nullptr, 0);

  if (timeRatios.empty()) {
    std::fprintf(stderr, "startup_bench: a program never mapped its window\n");
    return 1;
  }
  const Summary subject = summarise(results[0]);
  const Summary yardstick = summarise(results[1]);
  std::printf("%d pairs, %d runs without a map\n", runs, failures);
  std::printf("%-40s %22s %22s\n", "", "to first map min/med", "peak RSS min/med");
  for (size_t i = 0; i < programs.size(); ++i) {
    const Summary& s = i == 0 ? subject : yardstick;
    std::printf("%-40s %9.1f /%6.1f ms %10.1f /%6.1f MB\n", programs[i].c_str(), s.minTime,
                s.medianTime, s.minMemory, s.medianMemory);
  }
  const Interval time = medianInterval(timeRatios);
  const Interval cpu = medianInterval(cpuRatios);
  const Interval memory = medianInterval(memoryRatios);
  std::printf(
      "median ratio of %zu pairs, 95 %% interval: time %.3f [%.3f, %.3f], memory %.3f "
      "[%.3f, %.3f] (target: at most 1.10 each); processor time %.3f [%.3f, %.3f]\n",
      timeRatios.size(), time.median, time.low, time.high, memory.median, memory.low, memory.high,
      cpu.median, cpu.low, cpu.high);
  return 0;
}
