#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/cli_runner.h"

namespace zizara::cli {
namespace {

using testing::CliRun;

class CliLiveTest : public ::testing::Test {
 protected:
  void Start(const sim::QlxOptions& options = {}) {
    instrument_ = std::make_unique<sim::QlxInstrument>(options);
  }
  CliRun Run(QStringList args) {
    CliEnvironment env;
    env.make_transport = [this](const QString&) {
      return std::make_unique<sim::InMemoryTransport>(instrument_.get());
    };
    return testing::RunCliCaptured(QStringList{"--port", "sim"} + args, env);
  }
  // The ".SG" lines the instrument received, in order.
  QStringList GainLines() const {
    QStringList lines;
    for (const QByteArray& e : instrument_->EventLog()) {
      const QJsonObject o = QJsonDocument::fromJson(e).object();
      if (o["event"].toString() == "text" && o["line"].toString().startsWith(".SG")) {
        lines << o["line"].toString();
      }
    }
    return lines;
  }

  std::unique_ptr<sim::QlxInstrument> instrument_;
};

TEST_F(CliLiveTest, SetsGainsClampedInAscendingOrderAndPrintsTheAnswers) {
  Start();
  const CliRun r = Run({"gain", "7,3", "25"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "3: 21.0 dB\n7: 21.0 dB\n");
  EXPECT_EQ(GainLines(), (QStringList{".SG3,210", ".SG7,210"}));
  EXPECT_EQ(instrument_->Gain(3), 210);
}

TEST_F(CliLiveTest, ReadsGainsWithOneDecimalAndAsJson) {
  Start();
  ASSERT_EQ(Run({"gain", "5", "-3,5"}).code, 0);
  CliRun r = Run({"gain", "5,6"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "5: -3.5 dB\n6: 0.0 dB\n");
  r = Run({"--json", "gain", "5,6"});
  ASSERT_EQ(r.code, 0);
  const QJsonArray a = QJsonDocument::fromJson(r.out.toUtf8()).array();
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a[0].toObject()["output"].toInt(), 5);
  EXPECT_DOUBLE_EQ(a[0].toObject()["gain"].toDouble(), -3.5);
  EXPECT_DOUBLE_EQ(a[1].toObject()["gain"].toDouble(), 0.0);
  r = Run({"gain", "2", "-0.7", "--json"});
  ASSERT_EQ(r.code, 0);
  EXPECT_DOUBLE_EQ(QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject()["gain"].toDouble(),
                   -0.7);
  EXPECT_EQ(GainLines().last(), ".SG2,-7");
}

TEST_F(CliLiveTest, BadArgumentsAreUsageErrorsAndSendNothing) {
  Start();
  for (const QStringList& args :
       {QStringList{"gain"}, QStringList{"gain", "0"}, QStringList{"gain", "97"},
        QStringList{"gain", "3,x"}, QStringList{"gain", "3", "loud"},
        QStringList{"gain", "3", "1", "2"}, QStringList{"key"}, QStringList{"key", "9"},
        QStringList{"key", "0"}, QStringList{"key", "two"}}) {
    const CliRun r = Run(args);
    EXPECT_EQ(r.code, kExitUsage) << args.join(' ').toStdString();
  }
  EXPECT_TRUE(Run({"gain", "3", "loud"}).err.contains("gain-value is not valid"));
  EXPECT_EQ(instrument_->stats().bytes_in, 0);
}

TEST_F(CliLiveTest, WithoutTheDotProtocolGainFails) {
  sim::QlxOptions options;
  options.no_dot = true;
  Start(options);
  const CliRun r = Run({"gain", "3"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_TRUE(r.err.contains("dot protocol"));
}

TEST_F(CliLiveTest, KeyPressesTheFrontKey) {
  Start();
  CliRun r = Run({"key", "4"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "Key 4 pressed.\n");
  r = Run({"key", "8", "--json"});
  ASSERT_EQ(r.code, 0);
  EXPECT_TRUE(QJsonDocument::fromJson(r.out.toUtf8()).object()["pressed"].toBool());
  EXPECT_EQ(instrument_->stats().keys, (std::vector<int>{4, 8}));
}

TEST_F(CliLiveTest, IdentifyJsonHasModulesAndVersions) {
  sim::QlxOptions options;
  options.input_modules = {0x11, 0x10, 0xA2, 0};
  options.output_modules = {0x10, 0x11, 0xA2, 0};
  options.hardware_id = 0x0102;
  options.bios_version = 0x0104;
  Start(options);
  const CliRun r = Run({"identify", "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["inputs"].toInt(), 88);
  EXPECT_EQ(o["outputs"].toInt(), 96);
  EXPECT_EQ(o["firmware_version"].toInt(), 258);
  EXPECT_EQ(o["hardware_version"].toString(), "01.02");
  EXPECT_EQ(o["bios_version"].toString(), "01.04");
  const QJsonObject m = o["modules"].toObject();
  EXPECT_EQ(m["inputs"].toArray().toVariantList(),
            (QVariantList{"Analogue Input Module, 1-AES 2-ANA (11)", "Unknown Module (10)",
                          "SDI DeEmbedder, SDI (A2)", "Not installed."}));
  EXPECT_EQ(m["outputs"].toArray().toVariantList(),
            (QVariantList{"GPIO Module (10)", "Analogue Output Module, 1-AES 2-ANA (11)",
                          "Unknown Module (A2)", "Not installed."}));
}

TEST_F(CliLiveTest, IdentifyJsonWithoutTheDotProtocolLeavesThemOut) {
  sim::QlxOptions options;
  options.no_dot = true;
  Start(options);
  const CliRun r = Run({"identify", "--json"});
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_FALSE(o.contains("modules"));
  EXPECT_FALSE(o.contains("firmware_version"));
}

}  // namespace
}  // namespace zizara::cli
