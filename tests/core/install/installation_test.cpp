#include "core/install/installation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>

#include "core/config/upgrade.h"
#include "core/io/file_access.h"
#include "support/link_fixture.h"

namespace zizara::core::install {
namespace {

using testing::LinkFixture;
using ui_port::Answer;

// Records the bars and answers the input box from a queue (empty: cancelled).
class TestView : public InstallView {
 public:
  void ShowBars(const InstallBars& b) override { bars.push_back(b); }
  void SetRunCaption(const QString& c) override { captions.append(c); }
  bool InputValue(const QString& caption, const QString& prompt, const QString& proposal,
                  QString* text) override {
    asked.append(caption + "|" + prompt + "|" + proposal);
    if (inputs.empty()) return false;
    *text = inputs.front();
    inputs.pop_front();
    return true;
  }
  std::vector<InstallBars> bars;
  QStringList captions;
  QStringList asked;
  std::deque<QString> inputs;
};

sim::QlxOptions Options(int serial = 12345) {
  sim::QlxOptions o;
  o.serial = serial;
  o.boot_ms = 20;
  return o;
}

struct InstallFixture : LinkFixture {
  explicit InstallFixture(const sim::QlxOptions& o = Options())
      : LinkFixture(o), installation(engine, identification, view) {
    // What start-up and the window's FormShow do before an installation.
    identification.Connect(false, false);
    flags.skip_probe_once = true;
    identification.Connect(false, false);
    prompts.Clear();
  }

  QString Write(const QByteArray& package, const QString& name = "p.CDP") {
    const QString path = dir.filePath(name);
    QString error;
    EXPECT_TRUE(io::SaveFileAtomically(path, package, &error)) << error.toStdString();
    return path;
  }
  InstallResult Run(const QString& path, bool backup = false, const QString& backup_name = {}) {
    InstallRequest r;
    r.source = path;
    r.backup = backup;
    r.backup_name = backup_name;
    return installation.Execute(r);
  }

  QTemporaryDir dir;
  TestView view;
  Installation installation;
};

PackageItemSpec Item(std::uint16_t type, std::uint32_t address = 0, QByteArray data = {},
                     QString description = "Item.") {
  PackageItemSpec s;
  s.type = type;
  s.address = address;
  s.data_size = type == 0 ? static_cast<std::uint32_t>(data.size()) : 0;
  s.data = std::move(data);
  s.description = std::move(description);
  return s;
}

QByteArray Word(std::uint16_t v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); }

TEST(InstallationTest, CarriesOutWriteSetWordKeyMessageAndRestart) {
  InstallFixture f;
  const QByteArray before = f.instrument.ReadMemory(0, 0x40000);
  QByteArray data(384, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i ^ 0xA5);
  const QString path = f.Write(BuildPackage(
      "New software 2.0", {Item(0, 0x30000, data, "Writing code."), Item(1, 0x30202, Word(0xBEEF)),
                           Item(3, 0, Word(0x0121)), Item(4, 0, {}, "Hello from the package."),
                           Item(2, 0, {}, "Restarting.")}));
  const InstallResult r = f.Run(path);
  EXPECT_EQ(r.outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(r.items_selected, 5);
  EXPECT_EQ(f.view.captions, QStringList{"New software 2.0"});

  QByteArray expected = before;
  expected.replace(0x30000, 384, data);
  expected[0x30202] = static_cast<char>(0xBE);
  expected[0x30203] = static_cast<char>(0xEF);
  EXPECT_EQ(f.instrument.ReadMemory(0, 0x40000), expected);
  EXPECT_EQ(f.instrument.stats().keys, std::vector<int>{0x21});
  EXPECT_EQ(f.prompts.Texts(),
            (QStringList{"Hello from the package.", "The software installation is complete."}));
  EXPECT_EQ(f.prompts.records()[0].kind, ui_port::PromptKind::kInformation);
  EXPECT_GE(f.instrument.stats().restarts, 2);  // the item and the end
  EXPECT_TRUE(f.view.bars.back().item_description.isEmpty());
  EXPECT_EQ(f.engine_state.kind, link::TransferKind::kIdle);
  // The overall bar held at 99 % until the end said 100 %.
  bool saw_100 = false;
  for (const InstallBars& b : f.view.bars) {
    if (b.overall_percent == "100 %") saw_100 = true;
    if (!saw_100) {
      EXPECT_NE(b.overall_percent, "100 %");
    }
  }
  EXPECT_TRUE(saw_100);
}

TEST(InstallationTest, ItemsForOtherModelsAreSkipped) {
  InstallFixture f;  // model index 5
  const QByteArray before = f.instrument.ReadMemory(0, 0x40000);
  PackageItemSpec other = Item(0, 0x30000, QByteArray(128, '\x11'));
  other.model_mask = ModelMaskBit(4);
  PackageItemSpec message = Item(4, 0, {}, "Not for you.");
  message.model_mask = ModelMaskBit(3) | ModelMaskBit(0);
  const InstallResult r = f.Run(f.Write(BuildPackage("Other models", {other, message})));
  EXPECT_EQ(r.outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(r.items_selected, 0);
  EXPECT_EQ(f.instrument.ReadMemory(0, 0x40000), before);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"The software installation is complete."});
}

TEST(InstallationTest, ACorruptPackageNeverReachesTheInstrument) {
  InstallFixture f;
  QByteArray package = BuildPackage("Broken", {Item(0, 0x30000, QByteArray(128, '\x11'))});
  package[308 + 272 + 5] = static_cast<char>(package[308 + 272 + 5] ^ 1);
  const QString path = f.Write(package);
  const QByteArray before = f.instrument.ReadMemory(0, 0x40000);
  f.transport.writes.clear();
  const InstallResult r = f.Run(path);
  EXPECT_EQ(r.outcome, InstallOutcome::kRefused);
  ASSERT_EQ(f.prompts.Texts().size(), 1);
  EXPECT_TRUE(f.prompts.Texts()[0].startsWith("CRC Error.\rThe file is corrupted. (CRC: "));
  EXPECT_TRUE(f.transport.writes.isEmpty());
  EXPECT_EQ(f.instrument.ReadMemory(0, 0x40000), before);
  EXPECT_FALSE(f.installation.running());
}

TEST(InstallationTest, MissingAndForeignFilesAreRefusedWithTheirMessages) {
  InstallFixture f;
  EXPECT_EQ(f.Run(f.dir.filePath("none.CDP")).outcome, InstallOutcome::kMissingFile);
  EXPECT_EQ(f.prompts.Texts(),
            QStringList{"Could not locate the file '" + f.dir.filePath("none.CDP") +
                        "',\rplease enter a valid filename."});
  f.prompts.Clear();
  EXPECT_EQ(f.Run(f.Write("hello")).outcome, InstallOutcome::kRefused);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"This is not a valid file."});
  f.prompts.Clear();
  EXPECT_EQ(f.Run(f.dir.path()).outcome, InstallOutcome::kRefused);
  EXPECT_EQ(f.prompts.Texts().size(), 1);
}

TEST(InstallationTest, AskedWordsAreCheckedUntilAccepted) {
  InstallFixture f;
  f.view.inputs = {"65536", "123456", "$", "$1A2B"};
  const QString path = f.Write(
      BuildPackage("Ask", {Item(7, 0x30010, Word(300), "Volume?"), Item(7, 0x30020, Word(0x77))}));
  const InstallResult r = f.Run(path);
  EXPECT_EQ(r.outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(
      f.prompts.Texts(),
      (QStringList{"Data is out of range, please try again.", "Illegal data, please try again.",
                   "Illegal data, please try again.", "The software installation is complete."}));
  EXPECT_EQ(f.view.asked.first(), "Input.|Volume?|300");
  EXPECT_EQ(f.instrument.ReadMemory(0x30010, 2), QByteArray("\x1A\x2B"));
  // The second item asks too; cancelling its box takes the proposal.
  EXPECT_EQ(f.view.asked.size(), 5);
  EXPECT_EQ(f.instrument.ReadMemory(0x30020, 2), QByteArray("\x00\x77", 2));
}

TEST(InstallationTest, BackupOfAModel4InstrumentIs2048BlocksAndRestoresTheSoftware) {
  InstallFixture f(Options(8000));
  // A model-4 software image spans the configuration area and goes on beyond it.
  f.strict.Allow("download-range");
  ASSERT_EQ(f.record.model_index, 4);
  const QByteArray software = f.instrument.ReadMemory(0, 0x40000);
  const QString backup = f.dir.filePath("saved/backup");  // folder and extension are added
  f.prompts.Queue(Answer::kYes);                          // create the folder
  const InstallResult r = f.Run(f.Write(BuildPackage("Empty", {})), true, backup);
  EXPECT_EQ(r.outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(r.backup_name, backup + ".CDP");
  EXPECT_TRUE(r.backup_written);
  EXPECT_EQ(f.prompts.Texts().last(),
            "The software installation is complete,\ra backup of the QLX-Software was created in "
            "the directory '" +
                backup + ".CDP'");
  const io::ReadResult file = io::ReadRegularFile(backup + ".CDP", kMaxPackageSize);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.data, BuildBackupPackage(4, "8000", software));
  const PackageVerdict v = ReadPackage(file.data);
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(v.description, "Backup of QLX-M+, Serial No.: 8000");
  EXPECT_EQ(v.items[0].data_size, 262144u);
  EXPECT_EQ(v.items[0].model_mask, 8u);

  // Damage the software, then install the backup: the memory is as it was.
  f.instrument.WriteMemory(0x100, QByteArray(0x2000, '\0'));
  f.prompts.Clear();
  EXPECT_EQ(f.Run(backup + ".CDP").outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(f.instrument.ReadMemory(0, 0x40000), software);
  EXPECT_EQ(f.prompts.Texts(), (QStringList{"The QLX-Software has been restored.",
                                            "The software installation is complete."}));
}

TEST(InstallationTest, BackupNamesWithoutAFolderKeepTheWindowOpen) {
  InstallFixture f;
  const qint64 restarts = f.instrument.stats().restarts;
  const InstallResult r =
      f.Run(f.Write(BuildPackage("P", {Item(4, 0, {}, "Never shown.")})), true, "backup");
  EXPECT_EQ(r.outcome, InstallOutcome::kBackupNameRefused);
  EXPECT_EQ(r.backup_name, "backup.CDP");
  EXPECT_EQ(f.prompts.Texts(), (QStringList{"Please specify a filename for the backup file.",
                                            "Please enter a valid filename for the backup file."}));
  EXPECT_EQ(f.instrument.stats().restarts, restarts);
}

TEST(InstallationTest, AnExistingBackupIsReplacedOnlyWhenConfirmed) {
  InstallFixture f;
  const QString backup = f.Write("old backup", "old.CDP");
  f.prompts.Queue(Answer::kNo);
  EXPECT_EQ(f.Run(f.Write(BuildPackage("P", {})), true, backup).outcome,
            InstallOutcome::kBackupNameRefused);
  EXPECT_EQ(f.prompts.Texts().first(),
            "The File 'old.CDP' already exists.\rDo you wish to replace it?");
  EXPECT_EQ(io::ReadRegularFile(backup, 100).data, "old backup");
  // Chosen in the save dialog, where the replacement was confirmed: not asked again.
  f.prompts.Clear();
  InstallRequest r;
  r.source = f.dir.filePath("p.CDP");
  r.backup = true;
  r.backup_name = backup;
  r.dialog_confirmed_name = backup;
  EXPECT_EQ(f.installation.Execute(r).outcome, InstallOutcome::kCompleted);
  EXPECT_EQ(f.prompts.Texts().size(), 1);
  EXPECT_TRUE(ReadPackage(io::ReadRegularFile(backup, kMaxPackageSize).data).ok());
}

TEST(InstallationTest, InBiosModeWordItemsAreLeftAndTheUserIsTold) {
  sim::QlxOptions o = Options();
  o.bios = true;
  InstallFixture f(o);
  ASSERT_TRUE(f.record.bios_mode);
  f.record.model_index = 5;  // what the type dialog would set
  const QByteArray before = f.instrument.ReadMemory(0, 0x40000);
  const InstallResult r = f.Run(f.Write(BuildPackage("P", {Item(1, 0x30000, Word(0x1234))})));
  EXPECT_EQ(r.outcome, InstallOutcome::kBiosProblem);
  EXPECT_EQ(f.instrument.ReadMemory(0, 0x40000), before);
  ASSERT_FALSE(f.prompts.Texts().isEmpty());
  EXPECT_EQ(f.prompts.Texts().last(), BiosProblemText());
}

TEST(InstallationTest, ACancelStopsTheItemsAndSaysSo) {
  InstallFixture f;
  const QByteArray before = f.instrument.ReadMemory(0, 0x40000);
  int steps = 0;
  f.engine.AddStepListener([&](int) {
    if (++steps == 5) {
      f.installation.Cancel();
      f.engine_state.abort = true;  // what closing the transfer window does
    }
  });
  const QString path = f.Write(BuildPackage(
      "P", {Item(0, 0x30000, QByteArray(128 * 20, '\x33')), Item(4, 0, {}, "Never shown.")}));
  const InstallResult r = f.Run(path);
  EXPECT_EQ(r.outcome, InstallOutcome::kCancelled);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"The software installation was cancelled by the user."});
  const QByteArray after = f.instrument.ReadMemory(0x30000, 128 * 20);
  EXPECT_NE(after, QByteArray(128 * 20, '\x33'));
  EXPECT_NE(after, before.mid(0x30000, 128 * 20));
  EXPECT_FALSE(f.engine_state.abort);
}

TEST(InstallationTest, TheUpgradeItemRewritesAnOldConfiguration) {
  sim::QlxOptions o = Options();
  o.version = "4.10";
  InstallFixture f(o);
  f.record.software_version_code = 0x410;
  config::ConfigurationImage old = f.instrument.Image();
  old.Fill(0);
  f.instrument.SetImage(old);
  const InstallResult r = f.Run(f.Write(BuildPackage("P", {Item(9)})));
  EXPECT_EQ(r.outcome, InstallOutcome::kCompleted);
  config::UpgradeToV5(old);
  EXPECT_EQ(f.instrument.Image(), old);
}

}  // namespace
}  // namespace zizara::core::install
