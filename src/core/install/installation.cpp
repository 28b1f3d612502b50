#include "core/install/installation.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <vector>

#include "core/config/configuration_image.h"
#include "core/config/upgrade.h"
#include "core/config/version.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/link/protocol.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::install {

using i18n::Tr;
using link::TransferKind;

namespace {

constexpr qint64 kPresetUpgradeBytes = 32768;
constexpr int kImageBlocks = 128;

int Percent(qint64 position, qint64 maximum) {
  if (maximum <= 0) {
    return 0;
  }
  return static_cast<int>(std::lround(static_cast<double>(position) / maximum * 100.0));
}

QString PercentText(int percent) { return QString::number(percent) + QStringLiteral(" %"); }

bool EndsWithCdp(const QString& name) { return name.toUpper().endsWith(QStringLiteral(".CDP")); }

}  // namespace

bool ValidateHexData(const QString& text, int width) {
  if (text.startsWith(QLatin1Char('$'))) {
    for (qsizetype i = 1; i < text.size(); ++i) {
      if (!isxdigit(text[i].toLatin1()) || text[i].unicode() > 0x7F) {
        return false;
      }
    }
    return true;
  }
  if (text.size() > width) {
    return false;
  }
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
      return false;
    }
  }
  return true;
}

bool WordValue(const QString& text, std::uint16_t* value, bool* out_of_range) {
  *out_of_range = false;
  const bool hex = text.startsWith(QLatin1Char('$'));
  QString digits = hex ? text.mid(1) : text;
  if (digits.isEmpty()) {
    return false;  // nothing to take a value from
  }
  // Leading zeros never make a value too large.
  while (digits.size() > 1 && digits.startsWith(QLatin1Char('0'))) {
    digits.remove(0, 1);
  }
  if (digits.size() > 8) {
    *out_of_range = true;
    return false;
  }
  bool ok = false;
  const qulonglong v = digits.toULongLong(&ok, hex ? 16 : 10);
  if (!ok) {
    return false;
  }
  if (v >= 0x10000) {
    *out_of_range = true;
    return false;
  }
  *value = static_cast<std::uint16_t>(v);
  return true;
}

QString CompleteText() { return Tr("The software installation is complete."); }

QString CompleteWithBackupText(const QString& backup_name) {
  return Tr("The software installation is complete,\ra backup of the QLX-Software was created "
            "in the directory '") +
         backup_name + QStringLiteral("'");
}

QString CancelledText() { return Tr("The software installation was cancelled by the user."); }

QString BiosProblemText() {
  return Tr(
      "The QLX was in BIOS-Mode, some operations could not be performed,\rplease verify "
      "that the QLX has booted normally and execute the update one more time.");
}

QString EnterValidBackupNameText() {
  return Tr("Please enter a valid filename for the backup file.");
}

Installation::Installation(link::DriverEngine& engine, link::Identification& identification,
                           InstallView& view)
    : engine_(engine),
      identification_(identification),
      view_(view),
      alive_(std::make_shared<Installation*>(this)) {
  engine_.AddStepListener([weak = std::weak_ptr<Installation*>(alive_)](int) {
    if (const auto self = weak.lock()) {
      (*self)->OnStep();
    }
  });
}

Installation::~Installation() = default;

void Installation::OnStep() {
  if (!running_) {
    return;
  }
  // Every block moved counts 128 on both bars, whatever the step value.
  bars_.item_position = std::min(bars_.item_position + link::kBlockSize, bars_.item_maximum);
  bars_.overall_position =
      std::min(bars_.overall_position + link::kBlockSize, bars_.overall_maximum);
  bars_.item_percent = PercentText(Percent(bars_.item_position, bars_.item_maximum));
  const int overall = Percent(bars_.overall_position, bars_.overall_maximum);
  bars_.overall_percent = PercentText(overall > 98 ? 99 : overall);
  Show();
}

void Installation::BeginItem(qint64 maximum, const QString& description) {
  bars_.item_maximum = maximum;
  bars_.item_position = 0;
  bars_.item_percent = PercentText(0);
  bars_.item_description = description;
  Show();
}

void Installation::SetItemPosition(qint64 position) {
  bars_.item_position = std::min(position, bars_.item_maximum);
  bars_.item_percent = PercentText(Percent(bars_.item_position, bars_.item_maximum));
  Show();
}

bool Installation::AcceptBackupName(const InstallRequest& request, QString* name) {
  ui_port::Prompts& prompts = engine_.link().prompts();
  const qsizetype slash = request.backup_name.lastIndexOf(QLatin1Char('/'));
  const QString folder = request.backup_name.left(slash + 1);
  QString file = request.backup_name.mid(slash + 1);
  if (!EndsWithCdp(file)) {
    file += QStringLiteral(".CDP");
  }
  *name = folder + file;
  view_.ShowBackupName(*name);
  // A drive path there; an absolute path here.
  if (folder.isEmpty() || !folder.startsWith(QLatin1Char('/'))) {
    prompts.Warning(Tr("Please specify a filename for the backup file."));
    return false;
  }
  if (!QDir(folder).exists()) {
    if (!prompts.Confirm(Tr("The directory '") + folder + QStringLiteral("'") +
                         Tr(" does not exist.") + QStringLiteral("\r") +
                         Tr("Do you wish to create it?"))) {
      return false;
    }
    if (!QDir().mkpath(folder)) {
      prompts.Error(Tr("The directory '") + folder + QStringLiteral("'") +
                    Tr(" could not be created."));
      return false;
    }
  }
  const QFileInfo info(*name);
  const bool exists = info.exists() || info.isSymLink();
  if (exists && *name != request.dialog_confirmed_name &&
      !prompts.Confirm(Tr("The File '") + file + QStringLiteral("'") + Tr(" already exists.") +
                       QStringLiteral("\r") + Tr("Do you wish to replace it?"))) {
    return false;
  }
  // The old file stays until the new one is complete, so a failed read loses no backup.
  QString error;
  if (!io::CheckSaveTarget(*name, &error)) {
    if (exists) {
      prompts.Error(Tr("Could not replace the file '") + file + QStringLiteral("'") +
                    QStringLiteral(",") + QStringLiteral("\r") +
                    Tr("the file could be in use by another program.") + QStringLiteral("\r") +
                    Tr("Please select another file.") + QStringLiteral("\r\r") + error);
    } else {
      prompts.Error(error);
    }
    return false;
  }
  return true;
}

bool ReadSoftwareBackup(link::DriverEngine& engine, QByteArray* package) {
  link::InstrumentRecord& record = engine.record();
  engine.engine().kind = TransferKind::kUpload;
  const int blocks = record.backup_block_count.toInt();
  const qint64 size = static_cast<qint64>(blocks) * link::kBlockSize;
  engine.progress().SetMaximum(static_cast<int>(size));
  engine.SetCaption(Tr("Uploading BACKUP."));
  engine.progress().ShowProgress();
  QByteArray software(size, '\0');
  const bool read =
      blocks > 0 && engine.ReadBlocks(link::Command::kReadBlock, link::kSoftwareAddress, blocks,
                                      reinterpret_cast<std::uint8_t*>(software.data()));
  engine.progress().HideProgress();
  if (read) {
    *package = BuildBackupPackage(record.model_index, record.serial_text, software);
  }
  return read;
}

bool Installation::MakeBackup(const QString& name) {
  const qint64 size =
      static_cast<qint64>(engine_.record().backup_block_count.toInt()) * link::kBlockSize;
  bars_.overall_maximum += size;
  BeginItem(size, Tr("Uploading QLX-Software to: ") + name);
  QByteArray package;
  if (!ReadSoftwareBackup(engine_, &package)) {
    return false;
  }
  QString error;
  const QString target = EndsWithCdp(name) ? name : name + QStringLiteral(".CDP");
  if (!io::SaveFileAtomically(target, package, &error)) {
    engine_.link().prompts().Error(error);
    return false;
  }
  return true;
}

void Installation::AskWord(const PackageItem& item, std::uint16_t* value) {
  ui_port::Prompts& prompts = engine_.link().prompts();
  const QString proposal = QString::number(*value);
  for (;;) {
    QString text;
    if (!view_.InputValue(Tr("Input."), item.description, proposal, &text)) {
      return;  // cancelling takes the proposal
    }
    text = text.trimmed();
    bool out_of_range = false;
    std::uint16_t entered = 0;
    if (!ValidateHexData(text, 5) || (!WordValue(text, &entered, &out_of_range) && !out_of_range)) {
      prompts.Error(Tr("Illegal data, please try again."));
      continue;
    }
    if (out_of_range) {
      prompts.Error(Tr("Data is out of range, please try again."));
      continue;
    }
    *value = entered;
    return;
  }
}

void Installation::CarryOut(const PackageItem& item) {
  link::EngineState& engine = engine_.engine();
  link::InstrumentRecord& record = engine_.record();
  link::InstrumentLink& link = engine_.link();
  ui_port::Prompts& prompts = link.prompts();
  switch (static_cast<ItemType>(item.type)) {
    case ItemType::kWriteMemory:
      BeginItem(item.data_size, item.description);
      engine.quiet = true;
      if (engine_.PrepareTransfer(true)) {
        engine_.WriteBlocks(item.address, item.data);
        engine_.progress().HideProgress();
      }
      return;
    case ItemType::kSetWord:
    case ItemType::kAskWord: {
      if (record.bios_mode) {
        bios_problem_ = true;
        return;
      }
      BeginItem(2, item.description);
      std::uint16_t value = item.Value();
      if (item.type == static_cast<std::uint16_t>(ItemType::kAskWord)) {
        AskWord(item, &value);
      }
      engine.quiet = true;
      if (engine_.PrepareTransfer(false)) {
        SetItemPosition(1);
        // A write-protected instrument refuses the word for ever; clear the protection as a
        // block write does.
        std::uint8_t flag = 0;
        if (link.ReadProtectFlag(&flag) && flag == 0) {
          link.ToggleProtectFlag();
        }
        engine_.ModifyWord(item.address,
                           QStringLiteral("$%1").arg(value, 4, 16, QLatin1Char('0')).toUpper());
        engine_.progress().HideProgress();
      }
      SetItemPosition(2);
      return;
    }
    case ItemType::kRestart:
      BeginItem(1, item.description);
      // The bare restart command would have the next item's bytes arrive while the instrument
      // boots; the full sequence waits until it is back.
      identification_.RestartSequence();
      SetItemPosition(1);
      return;
    case ItemType::kPressKey:
      BeginItem(1, item.description);
      link.PressKey(static_cast<std::uint8_t>(item.Value() & 0xFF));
      SetItemPosition(1);
      return;
    case ItemType::kInformation:
      prompts.Information(item.description);
      return;
    case ItemType::kWarning:
      prompts.Warning(item.description);
      return;
    case ItemType::kError:
      prompts.Error(item.description);
      return;
    case ItemType::kPrepareOrRestart:
      if (item.Value() != 0) {
        link.EnterDownloadMode(record.remote_capable);
      } else {
        Connected(identification_.RestartInstrument());
      }
      return;
    case ItemType::kUpgradeConfiguration: {
      if (record.bios_mode) {
        bios_problem_ = true;
        return;
      }
      if (record.software_version_code >= config::kVersion5) {
        return;
      }
      BeginItem(kPresetUpgradeBytes, item.description);
      engine_.progress().SetMaximum(static_cast<int>(kPresetUpgradeBytes));
      engine_.SetCaption(Tr("Uploading Preset."));
      std::vector<std::uint8_t> buffer(config::kImageSize);
      if (engine_.ReadBlocks(link::Command::kReadBlock, link::kConfigurationAddress, kImageBlocks,
                             buffer.data())) {
        config::ConfigurationImage image;
        image.CopyIn(0, buffer);
        config::UpgradeToV5(image);
        engine.quiet = true;
        if (engine_.PrepareTransfer(true)) {
          engine_.WriteBlocks(link::kConfigurationAddress, image.ToByteArray());
          engine_.progress().HideProgress();
        }
      }
      return;
    }
  }
  // Other types are skipped.
}

void Installation::Finish() {
  link::EngineState& engine = engine_.engine();
  bars_.overall_percent = PercentText(100);
  Show();
  running_ = false;
  engine.kind = TransferKind::kIdle;
  engine.abort = false;
}

InstallResult Installation::Execute(const InstallRequest& request) {
  InstallResult result;
  link::EngineState& engine = engine_.engine();
  link::InstrumentRecord& record = engine_.record();
  ui_port::Prompts& prompts = engine_.link().prompts();

  user_cancel_ = false;
  const QFileInfo source(request.source);
  if (request.source.isEmpty() || (!source.exists() && !source.isSymLink())) {
    prompts.Error(Tr("Could not locate the file '") + request.source + QStringLiteral("'") +
                  QStringLiteral(",") + QStringLiteral("\r") +
                  Tr("please enter a valid filename."));
    result.outcome = InstallOutcome::kMissingFile;
    return result;
  }
  engine.abort = false;
  bios_problem_ = false;
  bars_ = InstallBars{};
  Show();

  const io::ReadResult file = io::ReadRegularFile(request.source, kMaxPackageSize);
  PackageVerdict package;
  if (!file.ok()) {
    prompts.Error(file.failure == io::ReadFailure::kTooLarge ? NotValidText() : file.error);
    result.outcome = InstallOutcome::kRefused;
    return result;
  }
  if (!VerifyFileHeader(file.data, prompts, &package)) {
    result.outcome = InstallOutcome::kRefused;
    return result;
  }
  running_ = true;

  QList<PackageItem> selected;
  qint64 total = 0;
  for (const PackageItem& item : package.items) {
    if (!ItemAppliesTo(item.model_mask, record.model_index)) {
      continue;
    }
    selected.append(item);
    total += item.data_size;
    if (item.type == static_cast<std::uint16_t>(ItemType::kUpgradeConfiguration) &&
        !record.bios_mode && record.software_version_code < config::kVersion5) {
      total += kPresetUpgradeBytes;
    }
  }
  result.items_selected = static_cast<int>(selected.size());
  bars_.overall_maximum = total + 2;
  Show();
  view_.SetRunCaption(package.description);

  bool backup_made = false;
  if (request.backup) {
    backup_made = AcceptBackupName(request, &result.backup_name);
  }
  if (!request.backup || backup_made) {
    engine_.link().EnterDownloadMode(record.remote_capable);
    if (backup_made) {
      result.backup_written = MakeBackup(result.backup_name);
    }
    for (const PackageItem& item : selected) {
      if (engine.abort) {
        break;
      }
      engine.kind = TransferKind::kDownload;
      CarryOut(item);
    }
  }
  Finish();

  if (request.backup && !backup_made) {
    prompts.Warning(EnterValidBackupNameText());
    result.outcome = InstallOutcome::kBackupNameRefused;
    return result;
  }
  Connected(identification_.RestartInstrument());
  bars_.item_description.clear();
  Show();
  if (!request.from_command_line) {
    bars_.item_position = 0;
    bars_.item_percent = PercentText(0);
    bars_.overall_position = 0;
    Show();
    Connected(identification_.Connect(false, false));
  }
  result.outcome = InstallOutcome::kCompleted;
  if (bios_problem_) {
    prompts.Warning(BiosProblemText());
    result.outcome = InstallOutcome::kBiosProblem;
  }
  if (user_cancel_) {
    prompts.Warning(CancelledText());
    result.outcome = InstallOutcome::kCancelled;
  }
  if (!bios_problem_ && !user_cancel_) {
    // Only a backup that reached its file is announced as made.
    prompts.Information(result.backup_written ? CompleteWithBackupText(result.backup_name)
                                              : CompleteText());
  }
  return result;
}

}  // namespace zizara::core::install
