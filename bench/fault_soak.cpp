// Runs whole-configuration uploads and downloads against the unpaced in-process instrument
// with lost and damaged answer bytes, and checks every transfer that reported success against
// the instrument's memory. A success whose data differ is a silent corruption; any makes the
// program fail. The survival rate is the share of transfers that reported success.
//
//   fault_soak [--transfers N] [--rate P]... [--faults both|drop|corrupt] [--seed S]
//
// N transfers in all (default 20), split evenly over the fault rates and, within each rate,
// between uploads and downloads. Each rate P (default 0.0005 and 0.005) applies to lost
// bytes, to damaged bytes, or to both (the default).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <random>
#include <vector>

#include "bench_simulator.h"
#include "core/config/configuration.h"
#include "core/link/identification.h"
#include "core/link/transfers.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"
#include "sim/in_memory_transport.h"

namespace zl = zizara::core::link;
namespace zui = zizara::core::ui_port;

namespace {

// What one program run of the command-line tool would build: a fresh line and fresh records
// on the same instrument.
struct Session {
  explicit Session(zizara::sim::QlxInstrument* instrument)
      : transport(instrument),
        link(transport, state, prompts),
        engine(link, engine_state, record, progress),
        identification(engine, flags),
        transfers(engine, identification, config) {
    link.OpenLink(nullptr);
  }
  zizara::sim::InMemoryTransport transport;
  zl::LinkState state;
  zl::InstrumentRecord record;
  zl::EngineState engine_state;
  zl::ConnectFlags flags;
  zui::SilentPrompts prompts;
  zui::NullProgress progress;
  zizara::core::config::Configuration config;
  zl::InstrumentLink link;
  zl::DriverEngine engine;
  zl::Identification identification;
  zl::ConfigurationTransfers transfers;
};

QByteArray ImageBytes(const zizara::core::config::ConfigurationImage& image) {
  return image.ToByteArray();
}

// Whether the two differ; says where on stderr when they do, to find the cause.
bool Differs(const char* what, int transfer, const QByteArray& expected, const QByteArray& got) {
  if (expected == got) {
    return false;
  }
  int first = -1;
  int count = 0;
  for (int i = 0; i < expected.size(); ++i) {
    if (expected[i] != got[i]) {
      first = first < 0 ? i : first;
      ++count;
    }
  }
  std::fprintf(stderr,
               "silent corruption: %s %d, %d bytes differ from offset 0x%04X (expected %02X, "
               "got %02X)\n",
               what, transfer, count, first, static_cast<std::uint8_t>(expected[first]),
               static_cast<std::uint8_t>(got[first]));
  return true;
}

struct Tally {
  int attempted = 0;
  int survived = 0;
  int silent = 0;
  void Add(bool done, bool differs) {
    ++attempted;
    survived += done ? 1 : 0;
    silent += done && differs ? 1 : 0;
  }
  double Rate() const { return attempted == 0 ? 0.0 : 100.0 * survived / attempted; }
};

struct RateResult {
  double rate = 0;
  Tally upload;
  Tally download;
  double seconds = 0;
};

enum class Faults { kBoth, kDrop, kCorrupt };

RateResult Soak(double rate, Faults faults, int uploads, int downloads, std::uint32_t seed,
                const zizara::bench::StrictLog& strict) {
  RateResult r;
  r.rate = rate;
  zizara::sim::QlxOptions options;
  options.drop = faults == Faults::kCorrupt ? 0.0 : rate;
  options.corrupt = faults == Faults::kDrop ? 0.0 : rate;
  options.seed = seed;
  options.boot_ms = 50;  // a quicker restart after each download; its length tests nothing
  const auto instrument = zizara::bench::MakeInstrument(options, strict);
  if (!instrument) {
    std::exit(2);
  }
  std::mt19937 content(seed ^ 0x5A5A5A5Au);
  QElapsedTimer clock;
  clock.start();
  const int total = uploads + downloads;
  for (int i = 0, up = 0, down = 0; i < total; ++i) {
    // Alternate so that each upload reads what an earlier download left, faults included.
    const bool upload = (i % 2 == 0 && up < uploads) || down >= downloads;
    Session s(instrument.get());
    if (upload) {
      ++up;
      const zl::TransferOutcome out = s.transfers.UploadSerial();
      const bool done = out == zl::TransferOutcome::kDone;
      r.upload.Add(done, done && Differs("upload", i, ImageBytes(instrument->Image()),
                                         ImageBytes(s.config.image)));
    } else {
      ++down;
      QByteArray sent(static_cast<int>(zizara::core::config::kImageSize), '\0');
      for (char& c : sent) {
        c = static_cast<char>(content() & 0xFF);
      }
      s.config.image.CopyIn(0, std::vector<std::uint8_t>(sent.begin(), sent.end()));
      // As the tool does: the connection's probe tells whether the download-mode handshake
      // is due.
      s.identification.Connect(false, false);
      const zl::TransferOutcome out = s.transfers.DownloadSerial();
      s.transfers.FinishDownload(out);
      const bool done = out == zl::TransferOutcome::kDone;
      r.download.Add(done, done && Differs("download", i, sent, ImageBytes(instrument->Image())));
    }
    if ((i + 1) % 10 == 0) {
      std::fprintf(stderr, "rate %.4f%%: %d of %d transfers, %d silent so far (%.0f s)\n",
                   rate * 100, i + 1, total, r.upload.silent + r.download.silent,
                   clock.elapsed() / 1000.0);
    }
  }
  r.seconds = clock.elapsed() / 1000.0;
  return r;
}

int Usage() {
  std::fprintf(stderr,
               "usage: fault_soak [--transfers N] [--rate P]... [--faults both|drop|corrupt] "
               "[--seed S]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  int transfers = 20;
  std::uint32_t seed = 20261209;
  std::vector<double> rates;
  Faults faults = Faults::kBoth;
  const char* fault_name = "drop+corrupt";
  for (int i = 0; i < args.size(); ++i) {
    bool ok = i + 1 < args.size();
    const QString value = ok ? args[i + 1] : QString();
    if (args[i] == QLatin1String("--transfers")) {
      transfers = value.toInt(&ok);
      ok = ok && transfers > 0;
    } else if (args[i] == QLatin1String("--rate")) {
      const double p = value.toDouble(&ok);
      ok = ok && p >= 0 && p <= 1;
      rates.push_back(p);
    } else if (args[i] == QLatin1String("--faults")) {
      if (value == QLatin1String("drop")) {
        faults = Faults::kDrop;
        fault_name = "drop";
      } else if (value == QLatin1String("corrupt")) {
        faults = Faults::kCorrupt;
        fault_name = "corrupt";
      } else {
        ok = ok && value == QLatin1String("both");
      }
    } else if (args[i] == QLatin1String("--seed")) {
      seed = value.toUInt(&ok);
    } else {
      ok = false;
    }
    if (!ok) {
      return Usage();
    }
    ++i;
  }
  if (rates.empty()) {
    rates = {0.0005, 0.005};
  }
  const int per_rate = transfers / static_cast<int>(rates.size());
  if (per_rate < 2) {
    return Usage();
  }
  std::vector<RateResult> results;
  // The faults only damage the instrument's answers; what the program sends while it
  // recovers must still follow the protocol.
  const zizara::bench::StrictLog strict;
  for (std::size_t k = 0; k < rates.size(); ++k) {
    results.push_back(Soak(rates[k], faults, per_rate - per_rate / 2, per_rate / 2,
                           seed + static_cast<std::uint32_t>(k), strict));
  }
  std::printf("fault soak: %d transfers, seed %u, unpaced in-process instrument\n",
              per_rate * static_cast<int>(rates.size()), seed);
  std::printf("%12s  direction  transfers  survived  survival  silent  time\n", fault_name);
  int silent = 0;
  for (const RateResult& r : results) {
    for (const auto& [name, t] :
         {std::pair{"upload", r.upload}, std::pair{"download", r.download}}) {
      std::printf("%11.3f%%  %-9s  %9d  %8d  %7.1f%%  %6d\n", r.rate * 100, name, t.attempted,
                  t.survived, t.Rate(), t.silent);
      silent += t.silent;
    }
    Tally both;
    both.attempted = r.upload.attempted + r.download.attempted;
    both.survived = r.upload.survived + r.download.survived;
    std::printf("%11.3f%%  %-9s  %9d  %8d  %7.1f%%  %6d  %.0f s\n", r.rate * 100, "both",
                both.attempted, both.survived, both.Rate(), r.upload.silent + r.download.silent,
                r.seconds);
  }
  std::printf("silent corruptions: %d\n", silent);
  const int verdict = strict.Verdict();
  return silent != 0 ? 1 : verdict;
}
