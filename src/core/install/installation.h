#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "core/install/package.h"
#include "core/link/identification.h"

namespace zizara::core::install {

// The two bars of the installation window and their percent labels.
struct InstallBars {
  qint64 item_maximum = 0;
  qint64 item_position = 0;
  qint64 overall_maximum = 0;
  qint64 overall_position = 0;
  QString item_percent = QStringLiteral("0 %");
  QString overall_percent = QStringLiteral("0 %");
  QString item_description;
};

// Where an installation shows itself: the window, the terminal, or a test.
class InstallView {
 public:
  virtual ~InstallView() = default;
  virtual void ShowBars(const InstallBars& bars) = 0;
  // The package description while the installation runs.
  virtual void SetRunCaption(const QString& caption) = 0;
  // The backup name as it will be used (".CDP" appended), written back before the checks.
  virtual void ShowBackupName(const QString& /*name*/) {}
  // The input box of a set-word item that asks; false when the user cancelled it.
  virtual bool InputValue(const QString& caption, const QString& prompt, const QString& proposal,
                          QString* text) = 0;
};

struct InstallRequest {
  QString source;  // the package file
  bool backup = false;
  QString backup_name;
  // The name last chosen in the save dialog, whose replacement was confirmed there already.
  QString dialog_confirmed_name;
  // Started for a package named on the command line: no reconnection at the end.
  bool from_command_line = false;
};

enum class InstallOutcome {
  kMissingFile,        // nothing changed
  kRefused,            // not a valid package; the instrument was not touched
  kBackupNameRefused,  // the window stays open for another name
  kCompleted,
  kCancelled,
  kBiosProblem,  // some items needed the normal software
};

struct InstallResult {
  InstallOutcome outcome = InstallOutcome::kRefused;
  QString backup_name;  // with ".CDP" appended where it was missing
  bool backup_written = false;
  int items_selected = 0;
};

// Width 5: "$" and hexadecimal digits only, or at most five decimal digits. Only the
// characters are judged; the value may still be out of range.
bool ValidateHexData(const QString& text, int width);
// The value of a text ValidateHexData accepted; false when it has none (a lone "$") or it
// does not fit in 16 bits (*out_of_range then tells which).
bool WordValue(const QString& text, std::uint16_t* value, bool* out_of_range);

// Reads the instrument software (backup block count x 128 bytes from address 0) as an upload
// and makes the backup package of it. False when the read failed or was aborted.
bool ReadSoftwareBackup(link::DriverEngine& engine, QByteArray* package);

// Step through a package: backup, items, restart and reconnection. The window and the command
// line drive the same code; every message goes through the link's prompts.
class Installation {
 public:
  Installation(link::DriverEngine& engine, link::Identification& identification, InstallView& view);
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  InstallResult Execute(const InstallRequest& request);

  bool running() const { return running_; }
  // The user asked to stop and the transfer window agreed: the remaining items are skipped
  // and the end says so.
  void Cancel() { user_cancel_ = true; }
  bool user_cancel() const { return user_cancel_; }

  // Every identification the run makes (restart, reconnection), for the status panels.
  std::function<void(const link::ConnectOutcome&)> on_connect;

  const InstallBars& bars() const { return bars_; }

 private:
  bool AcceptBackupName(const InstallRequest& request, QString* name);
  bool MakeBackup(const QString& name);
  void CarryOut(const PackageItem& item);
  void AskWord(const PackageItem& item, std::uint16_t* value);
  void BeginItem(qint64 maximum, const QString& description);
  void SetItemPosition(qint64 position);
  void OnStep();
  void Show() { view_.ShowBars(bars_); }
  void Finish();
  void Connected(const link::ConnectOutcome& outcome) {
    if (on_connect) {
      on_connect(outcome);
    }
  }

  link::DriverEngine& engine_;
  link::Identification& identification_;
  InstallView& view_;
  InstallBars bars_;
  bool running_ = false;
  bool user_cancel_ = false;
  bool bios_problem_ = false;
  // The engine keeps its step listeners; this one goes quiet once the installation is gone.
  std::shared_ptr<Installation*> alive_;
};

// Texts the procedure shows that callers also need.
QString CompleteText();
QString CompleteWithBackupText(const QString& backup_name);
QString CancelledText();
QString BiosProblemText();
QString EnterValidBackupNameText();

}  // namespace zizara::core::install
