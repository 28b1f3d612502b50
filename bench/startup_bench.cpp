// Measures how long vt-zizara takes from process start until its main window has been painted
// once, and its peak resident memory, with and without a preset file on the command line.
// The program runs with the built-in simulated instrument, on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, with fresh settings in a temporary home. It reports the
// moment the main window is painted on stderr when VT_ZIZARA_REPORT_SHOWN is set.
//
//   startup_bench [--runs N]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_simulator.h"
#include "core/config/preset_file.h"
#include "sim/qlx_instrument.h"

namespace {

constexpr char kShownLine[] = "vt-zizara: main window shown";
constexpr int kTimeoutMs = 30000;

struct Run {
  bool shown = false;
  double seconds = 0;  // start to the main window painted
  long peak_kib = 0;   // peak resident memory until then
};

// Starts the program with `args`, waits for the shown line, then ends it and takes its peak
// resident set from the kernel's accounting.
Run StartOnce(const std::string& program, const std::vector<std::string>& args,
              const QTemporaryDir& home, const std::string& link) {
  // A killed run leaves its link behind, and its pty number may serve another program by now.
  unlink(link.c_str());
  int err_pipe[2];
  if (pipe(err_pipe) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const auto started = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(err_pipe[1], STDERR_FILENO);
    close(err_pipe[0]);
    close(err_pipe[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    const std::string h = home.path().toStdString();
    setenv("HOME", h.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (h + "/run").c_str(), 1);
    setenv("TMPDIR", (h + "/tmp").c_str(), 1);
    setenv("VT_ZIZARA_REPORT_SHOWN", "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(err_pipe[1]);
  Run run;
  std::string seen;
  pollfd p{err_pipe[0], POLLIN, 0};
  while (!run.shown) {
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    if (waited.count() > kTimeoutMs || poll(&p, 1, 100) < 0) break;
    if ((p.revents & (POLLIN | POLLHUP)) == 0) continue;
    char buf[512];
    const ssize_t n = read(err_pipe[0], buf, sizeof buf);
    if (n <= 0) break;
    seen.append(buf, static_cast<std::size_t>(n));
    if (seen.find(kShownLine) != std::string::npos) {
      run.shown = true;
      run.seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
  }
  kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  close(err_pipe[0]);
  run.peak_kib = usage.ru_maxrss;
  if (!run.shown) {
    std::fprintf(stderr, "the main window was not reported; the program said:\n%s\n", seen.c_str());
  }
  return run;
}

// The program's built-in simulated instrument, served at `port`, witnessed into `strict`.
std::vector<std::string> SimulateArguments(const std::string& port, const QString& strict) {
  return {"--simulate", "--link", port, "--strict", strict.toStdString()};
}

void Report(const char* what, std::vector<Run> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  long peak = 0;
  for (const Run& r : runs) peak = std::max(peak, r.peak_kib);
  std::printf(
      "%-22s runs %2zu  start to window: min %.3f s  median %.3f s  max %.3f s  "
      "peak RSS %.1f MB\n",
      what, runs.size(), runs.front().seconds, runs[runs.size() / 2].seconds, runs.back().seconds,
      peak / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int runs = 5;
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.size() == 2 && args[0] == QLatin1String("--runs")) {
    runs = std::max(1, args[1].toInt());
  } else if (!args.isEmpty()) {
    std::fprintf(stderr, "usage: startup_bench [--runs N]\n");
    return 2;
  }
  QTemporaryDir home;
  for (const char* sub : {"config", "run", "tmp"}) QDir(home.path()).mkpath(QLatin1String(sub));
  QFile::setPermissions(home.filePath(QStringLiteral("run")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  // A complete preset file as the program itself would save it.
  const QString preset = home.filePath(QStringLiteral("BENCH.PRE"));
  zizara::core::config::PresetTrailer trailer;
  const QByteArray preset_bytes = zizara::core::config::BuildPresetFile(
      zizara::sim::DefaultImage(zizara::sim::kDefaultSerial), trailer);
  // A refused file would time its error box instead of the window.
  if (zizara::core::config::ParsePresetFile(preset_bytes, trailer).error !=
      zizara::core::config::PresetFileError::kNone) {
    std::fprintf(stderr, "the generated preset file does not load\n");
    return 1;
  }
  QFile file(preset);
  if (!file.open(QIODevice::WriteOnly) || file.write(preset_bytes) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(preset));
    return 1;
  }
  file.close();

  const std::string program = ZIZARA_VT_ZIZARA;
  const std::string simulated_port = home.filePath(QStringLiteral("qlx")).toStdString();
  const zizara::bench::StrictLog strict;
  const std::vector<std::string> plain = SimulateArguments(simulated_port, strict.path());
  std::vector<std::string> with_file{preset.toStdString()};
  with_file.insert(with_file.end(), plain.begin(), plain.end());

  StartOnce(program, plain, home, simulated_port);  // warms the page cache and the font cache
  std::vector<Run> without, with;
  for (int i = 0; i < runs; ++i) {
    const Run a = StartOnce(program, plain, home, simulated_port);
    const Run b = StartOnce(program, with_file, home, simulated_port);
    if (!a.shown || !b.shown) return 1;
    without.push_back(a);
    with.push_back(b);
  }
  std::printf("vt-zizara start-up, platform %s (goals: 0.5 s, 80 MB)\n",
              qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
                  ? qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM"))
                  : "offscreen");
  Report("without a preset file", without);
  Report("with a preset file", with);
  return strict.Verdict();
}
