// Measures the longest time the GUI thread goes without an event-loop turn while the transfer
// window uploads and downloads the configuration from qlx-sim paced to 9600 baud. A precise
// 1 ms timer stands for the events a user would send: the gap between two of its firings is
// how long the window could not have reacted. The start-up connection, which builds the
// transfer window, is measured on its own line.
//
//   gui_stall_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench_simulator.h"
#include "core/link/serial_transport.h"
#include "core/link/wait.h"
#include "core/ui_port/prompts.h"
#include "gui/app/app_context.h"
#include "gui/link/link_controller.h"

namespace zl = zizara::core::link;

namespace {

constexpr int kBaud = 9600;
constexpr qint64 kGoalMs = 20;
constexpr int kSettleMs = 300;

// Records the gaps between the firings of a 1 ms timer.
class GapMeter {
 public:
  GapMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
  }
  void Start() {
    longest_us_ = 0;
    longest_at_us_ = 0;
    over_goal_ = 0;
    ticks_ = 0;
    clock_.start();
    last_us_ = 0;
    timer_.start();
  }
  void Stop() { timer_.stop(); }
  qint64 longest_us() const { return longest_us_; }
  int over_goal() const { return over_goal_; }
  qint64 ticks() const { return ticks_; }
  // When the longest gap ended, from Start().
  qint64 longest_at_ms() const { return longest_at_us_ / 1000; }

 private:
  void Tick() {
    const qint64 now = clock_.nsecsElapsed() / 1000;
    const qint64 gap = now - last_us_;
    last_us_ = now;
    ++ticks_;
    if (gap > longest_us_) {
      longest_us_ = gap;
      longest_at_us_ = now;
    }
    over_goal_ += gap > kGoalMs * 1000 ? 1 : 0;
  }
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_us_ = 0;
  qint64 longest_us_ = 0;
  qint64 longest_at_us_ = 0;
  int over_goal_ = 0;
  qint64 ticks_ = 0;
};

template <typename Fn>
bool Measure(const char* what, GapMeter& meter, Fn&& transfer) {
  QElapsedTimer t;
  t.start();
  meter.Start();
  const bool ok = transfer();
  // What the transfer leaves to the event loop (the transfer window going away, the last
  // repaints) belongs to it, not to whatever the user does next.
  zl::Pause(kSettleMs);
  meter.Stop();
  std::printf(
      "%-9s %s in %6.2f s  longest gap %6.2f ms (ending at %6.3f s)  gaps over %lld ms: %d  "
      "turns %lld\n",
      what, ok ? "done" : "FAILED", t.elapsed() / 1000.0, meter.longest_us() / 1000.0,
      meter.longest_at_ms() / 1000.0, static_cast<long long>(kGoalMs), meter.over_goal(),
      static_cast<long long>(meter.ticks()));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const QString port = dir.filePath(QStringLiteral("qlx"));
  QProcess sim;
  const zizara::bench::StrictLog strict;
  if (!zizara::bench::StartQlxSim(sim, QStringLiteral(ZIZARA_QLX_SIM), port,
                                  {QStringLiteral("--baud"), QString::number(kBaud)}, strict)) {
    return 1;
  }
  zizara::gui::app::AppContext ctx;
  ctx.current_port = port;
  ctx.link_mode = zl::LinkMode::kCom;
  zizara::core::ui_port::ScriptedPrompts prompts;
  // Stands for the main window: shown, with text, so that fonts are loaded as in the program.
  QLabel main_window(QStringLiteral("VT-Zizara"));
  main_window.resize(800, 600);
  main_window.show();
  QCoreApplication::processEvents();
  zizara::gui::link::LinkController controller(
      ctx, prompts, [](const QString& name) { return std::make_unique<zl::SerialTransport>(name); },
      &main_window);

  GapMeter meter;
  std::printf("GUI thread during transfers with qlx-sim at %d baud (goal: %lld ms)\n", kBaud,
              static_cast<long long>(kGoalMs));
  // The program identifies the instrument at start-up, which also builds the transfer window;
  // measured apart, since the transfers that follow find it built.
  const bool connected = Measure("connect", meter, [&] {
    return controller.Connect().result == zl::ConnectResult::kConnected;
  });
  const bool up =
      Measure("upload", meter, [&] { return controller.Upload() == zl::TransferOutcome::kDone; });
  const bool down = Measure(
      "download", meter, [&] { return controller.Download(false) == zl::TransferOutcome::kDone; });
  controller.DestroyDriver();
  sim.terminate();
  sim.waitForFinished(5000);
  if (!connected || !up || !down) {
    for (const QString& text : prompts.Texts()) {
      std::fprintf(stderr, "prompt: %s\n", qPrintable(text));
    }
    return 1;
  }
  return strict.Verdict();
}
