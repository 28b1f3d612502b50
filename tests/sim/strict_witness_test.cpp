#include "sim/strict_witness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "core/link/protocol.h"
#include "sim/pty_client.h"
#include "sim/pty_server.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bytes;
using testing::PtyClient;

void Pump() { QCoreApplication::processEvents(); }

// A host that speaks raw bytes to the simulator over a pseudo-terminal and waits for each
// answer, as the program does.
class RawHost {
 public:
  explicit RawHost(QlxOptions options = {}) {
    options.strict_file = dir_.filePath(QStringLiteral("strict.txt"));
    instrument_ = std::make_unique<QlxInstrument>(options);
    server_ = std::make_unique<PtyServer>(instrument_.get());
    const QString link = dir_.filePath(QStringLiteral("qlx"));
    started_ = server_->Start(link, &error_);
    client_ = std::make_unique<PtyClient>(link, Pump);
  }
  bool ok() const { return started_ && client_->ok(); }

  // Sends and returns the `answer` bytes that come back.
  QByteArray Send(const QByteArray& bytes, int answer = 0) {
    client_->Send(bytes);
    if (answer == 0) {
      Pause(20);  // lets the simulator take the bytes before the next step
      return {};
    }
    return client_->Receive(answer);
  }
  QByteArray SendLine(const QByteArray& text) {
    client_->Send(text);
    return ReadLine();
  }
  QByteArray ReadLine() {
    QByteArray line;
    while (!line.endsWith("\r\n")) {
      const QByteArray b = client_->Receive(1);
      if (b.isEmpty()) {
        break;
      }
      line += b;
    }
    return line;
  }
  void Pause(int ms) {
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
      Pump();
    }
  }

  void Break() { EXPECT_EQ(Send(Bytes({0xA6, 0x6D}), 1), Bytes({0x05})); }
  QByteArray Address(std::uint32_t address) {
    const auto a = core::link::AddressBytes(address);
    return Send(Bytes({0x00, a[0], a[1], a[2]}), 2);
  }
  std::uint8_t ReadFlag() {
    const QByteArray b = Send(Bytes({0x1A}), 1);
    return b.isEmpty() ? 0xFF : static_cast<std::uint8_t>(b[0]);
  }
  void Unlock() {
    ASSERT_EQ(ReadFlag(), 0);
    EXPECT_EQ(Send(Bytes({0x0A}), 1), Bytes({0x05}));
  }
  // Set address, write block; the answer to the block.
  QByteArray WriteBlock(std::uint32_t address, int count_byte = 0x7F, int check_delta = 0) {
    Address(address);
    EXPECT_EQ(Send(Bytes({0x01}), 1), Bytes({0x05}));
    const QByteArray data(count_byte + 1, '\x42');
    const auto check = static_cast<char>(
        core::link::CheckByte(reinterpret_cast<const std::uint8_t*>(data.constData()),
                              static_cast<int>(data.size())) +
        check_delta);
    return Send(QByteArray(1, static_cast<char>(count_byte)) + data + check, 1);
  }
  void Restart(int pause_ms = 110) {
    Send("0");
    Pause(pause_ms);
    Break();
    EXPECT_EQ(Send(Bytes({0x0E}), 1), Bytes({0x05}));
  }

  // The rule of every line written to the deviation file, checking the line's form.
  QStringList Rules() {
    QFile file(dir_.filePath(QStringLiteral("strict.txt")));
    QStringList rules;
    if (!file.open(QIODevice::ReadOnly)) {
      return rules;
    }
    static const QRegularExpression kLine(
        QStringLiteral("^(\\d+) ([a-z-]+): seen (.+), expected (.+)$"));
    for (const QByteArray& raw : file.readAll().split('\n')) {
      if (raw.isEmpty()) {
        continue;
      }
      const QRegularExpressionMatch m = kLine.match(QString::fromUtf8(raw));
      EXPECT_TRUE(m.hasMatch()) << raw.toStdString();
      rules << (m.hasMatch() ? m.captured(2) : QString::fromUtf8(raw));
    }
    return rules;
  }
  QString Text() {
    QFile file(dir_.filePath(QStringLiteral("strict.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  const QlxInstrument& instrument() const { return *instrument_; }

 private:
  QTemporaryDir dir_;
  std::unique_ptr<QlxInstrument> instrument_;
  std::unique_ptr<PtyServer> server_;
  std::unique_ptr<PtyClient> client_;
  QString error_;
  bool started_ = false;
};

TEST(StrictWitnessTest, TheProgramsWayOfSpeakingLeavesTheFileEmpty) {
  RawHost host;
  ASSERT_TRUE(host.ok());
  // Identification, probe, download-mode handshake, a configuration download, remote control,
  // the mouse pad, a restart and the next identification.
  host.Break();
  EXPECT_EQ(host.Address(0x1C100), Bytes({0x05, 0x05}));
  EXPECT_EQ(host.Send(Bytes({0x11, 0x80}), 1 + 129).size(), 130);
  EXPECT_TRUE(host.SendLine("\r.LI1,-\r").startsWith(".AI1,"));
  EXPECT_EQ(host.SendLine("\r.SP15,20\r"), ".AP15,20\r\n");
  EXPECT_EQ(host.SendLine("\r.SP15,21\r"), ".AP15,20.AP15,21\r\n");
  host.Break();
  host.Unlock();
  EXPECT_EQ(host.WriteBlock(0x1C000), Bytes({0x05}));
  EXPECT_EQ(host.WriteBlock(0x1FF80), Bytes({0x05}));
  // A refused write: the flag is read again and toggled only when it reads 0.
  host.Restart();
  host.Pause(1600);
  EXPECT_EQ(host.ReadLine(), ".P\r\n");
  EXPECT_EQ(host.SendLine("\r.SP15,20\r"), ".AP15,20\r\n");
  EXPECT_EQ(host.SendLine("\r.SP15,21\r"), ".AP15,20.AP15,21\r\n");
  host.Break();
  EXPECT_EQ(host.WriteBlock(0x1C000), Bytes({0x15}));
  host.Unlock();
  host.Break();
  EXPECT_EQ(host.WriteBlock(0x1C000), Bytes({0x05}));
  // ModifyWord writes without reading the flag at all.
  EXPECT_EQ(host.WriteBlock(0x1C080), Bytes({0x05}));
  EXPECT_EQ(host.SendLine("\r").size(), 0);  // StartRemoteControl's bare CR
  EXPECT_EQ(host.SendLine(".LP9,-\r"), ".AP9,1\r\n");
  EXPECT_EQ(host.SendLine(".SA5,12*\r"), ".AA5,12*\r\n");
  host.Send(".Sm10,20\r\n");
  EXPECT_EQ(host.Send(Bytes({0x0F, 0x21}), 2), Bytes({0x05, 0x05}));  // link-ok: no break
  host.Restart();
  host.Pause(1600);
  EXPECT_EQ(host.ReadLine(), ".P\r\n");
  host.Break();
  EXPECT_EQ(host.instrument().stats().restarts, 2);
  EXPECT_TRUE(host.Text().isEmpty()) << host.Text().toStdString();
}

struct BrokenRule {
  const char* rule;
  std::function<void(RawHost&)> script;
};

TEST(StrictWitnessTest, EachRuleBrokenOnceIsCaughtOnce) {
  const std::vector<BrokenRule> cases = {
      {"fresh-break",
       [](RawHost& h) {
         h.Break();
         EXPECT_EQ(h.WriteBlock(0x1C000), Bytes({0x15}));  // still protected: refused
         h.Address(0x1C000);                                // no new break after it
       }},
      {"restart-break",
       [](RawHost& h) {
         h.Break();
         h.ReadFlag();
         h.Send(Bytes({0x0E}), 1);
       }},
      {"restart-zero",
       [](RawHost& h) {
         h.Break();
         h.Pause(110);
         h.Break();
         h.Send(Bytes({0x0E}), 1);
       }},
      {"restart-pause", [](RawHost& h) { h.Restart(0); }},
      {"restart-quiet",
       [](RawHost& h) {
         h.Restart();
         h.Break();
       }},
      {"address-middle-byte",
       [](RawHost& h) {
         h.Break();
         EXPECT_EQ(h.Send(Bytes({0x00, 0x00, 0xC0, 0x07}), 2), Bytes({0x05, 0x15}));
       }},
      {"write-count",
       [](RawHost& h) {
         h.Break();
         h.Unlock();
         EXPECT_EQ(h.WriteBlock(0x1C000, 0x3F), Bytes({0x05}));
       }},
      {"read-count",
       [](RawHost& h) {
         h.Break();
         h.Address(0x1C000);
         EXPECT_EQ(h.Send(Bytes({0x11, 0x40}), 1 + 65).size(), 66);
       }},
      {"check-byte",
       [](RawHost& h) {
         h.Break();
         h.Unlock();
         EXPECT_EQ(h.WriteBlock(0x1C000, 0x7F, 1), Bytes({0x15}));
       }},
      {"download-handshake",
       [](RawHost& h) {
         h.SendLine("\r.LI1,-\r");
         h.Break();
         h.Unlock();
         h.WriteBlock(0x1C000);
       }},
      {"download-range",
       [](RawHost& h) {
         h.Break();
         h.Unlock();
         h.WriteBlock(0x1C000);
         h.WriteBlock(0x20000);
       }},
      {"protect-unread",
       [](RawHost& h) {
         h.Break();
         h.Send(Bytes({0x0A}), 1);
       }},
      {"protect-set",
       [](RawHost& h) {
         h.Break();
         h.Unlock();
         EXPECT_EQ(h.ReadFlag(), 1);
         h.Send(Bytes({0x0A}), 1);
       }},
      {"text-leading-cr", [](RawHost& h) { h.SendLine(".LI1,-\r"); }},
      {"text-terminator", [](RawHost& h) { h.SendLine("\r.SA5,12*\r\n"); }},
      {"text-unterminated",
       [](RawHost& h) {
         h.Send(".SP9,2");
         h.Break();
       }},
      {"text-not-command", [](RawHost& h) { h.Send("\rHELLO\r"); }},
  };
  QStringList covered;
  for (const BrokenRule& c : cases) {
    SCOPED_TRACE(c.rule);
    RawHost host;
    ASSERT_TRUE(host.ok());
    c.script(host);
    host.Pause(20);
    EXPECT_EQ(host.Rules(), QStringList{QString::fromLatin1(c.rule)}) << host.Text().toStdString();
    covered << QString::fromLatin1(c.rule);
  }
  EXPECT_EQ(covered, StrictWitness::Rules());
}

TEST(StrictWitnessTest, AMouseCommandWithoutItsLineFeedIsCaught) {
  RawHost host;
  ASSERT_TRUE(host.ok());
  host.Send(".Sm10,20\r.SA5,12*\r");
  host.Pause(20);
  EXPECT_EQ(host.Rules(), QStringList{"text-terminator"});
}

TEST(StrictWitnessTest, ALostAnswerExcusesTheBreakThatFollows) {
  // Every answer lost: the host rightly breaks again before each command, and the witness
  // does not hold the damage against it.
  QlxOptions options;
  options.drop = 1.0;
  options.seed = 1;
  RawHost host(options);
  ASSERT_TRUE(host.ok());
  host.Send(Bytes({0xA6, 0x6D}));
  host.Send(Bytes({0xA6, 0x6D, 0x00}));  // its acknowledge lost: the host gives up
  host.Send(Bytes({0xA6, 0x6D, 0x11}));
  // The read's acknowledge lost too: the instrument takes the next break as the count and
  // a text "m", which the break after it throws away. Neither is the host's fault.
  host.Send(Bytes({0xA6, 0x6D}));
  host.Send(Bytes({0xA6, 0x6D, 0x1A}));
  EXPECT_TRUE(host.Rules().isEmpty()) << host.Text().toStdString();
  // The flag never arrived either, so a command without a break now is a mistake.
  host.Send(Bytes({0x11}));
  EXPECT_EQ(host.Rules(), QStringList{"fresh-break"});
}

}  // namespace
}  // namespace zizara::sim
