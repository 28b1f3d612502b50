#include "core/link/external_command.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include "core/config/preset_file.h"
#include "core/i18n/tr.h"
#include "core/link/transfers.h"
#include "core/link/wait.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::link {

using i18n::Tr;

QString NoInterfaceText() {
  return Tr("Please select communication-interface in Files -> Interface. (Serial or EXT)");
}

ExternalCommand::ExternalCommand(QString program_dir, QString ext_cmd, QString temp_dir)
    : program_dir_(std::move(program_dir)),
      ext_cmd_(std::move(ext_cmd).trimmed()),
      temp_dir_(std::move(temp_dir)) {}

QString ExternalCommand::ProgramPath() const {
  return QDir::isAbsolutePath(ext_cmd_) ? ext_cmd_ : QDir(program_dir_).filePath(ext_cmd_);
}

QString ExternalCommand::TempFile(const char* name) const {
  return QDir(temp_dir_).filePath(QString::fromLatin1(name));
}

ExternalRun ExternalCommand::Run(const QStringList& arguments, bool in_temp_dir) const {
  ExternalRun run;
  QProcess process;
  process.setProgram(ProgramPath());
  process.setArguments(arguments);
  if (in_temp_dir) {
    process.setWorkingDirectory(temp_dir_);
  }
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start();
  if (!process.waitForStarted(10000)) {
    run.error = process.errorString();
    return run;
  }
  run.started = true;
  // No deadline: the program decides how long a transfer takes; events keep flowing.
  while (process.state() != QProcess::NotRunning) {
    WaitUntil([&process] { return process.state() == QProcess::NotRunning; }, 1000);
  }
  run.crashed = process.exitStatus() == QProcess::CrashExit;
  run.exit_code = process.exitCode();
  if (run.crashed) {
    run.error = Tr("The external command stopped unexpectedly.");
  } else if (run.exit_code != 0) {
    run.error = Tr("The external command ended with exit code ") + QString::number(run.exit_code) +
                QLatin1Char('.');
  }
  return run;
}

bool ExternalCommand::Upload(config::Configuration& config, ui_port::Prompts& prompts) const {
  const QString cod = TempFile(kUploadExchangeFile);
  QFile::remove(cod);
  if (!configured()) {
    prompts.Error(NoInterfaceText());
    return false;
  }
  const ExternalRun run = Run({QStringLiteral("/r"), QStringLiteral("$1c000"),
                               QStringLiteral("128")});
  if (!run.started) {
    prompts.Error(Tr("The external command could not be started: ") + run.error);
    return false;
  }
  bool loaded = false;
  if (QFile::exists(cod)) {
    loaded = config::LoadPresetFile(cod, prompts, config.image, config.trailer);
    QFile::remove(cod);
  }
  if (!loaded) {
    prompts.Error(UploadErrorText());
    return false;
  }
  config.modified = true;
  config.file_name.clear();
  config.SelectPreset(0);
  return true;
}

bool ExternalCommand::Download(config::Configuration& config, ui_port::Prompts& prompts) const {
  if (!configured()) {
    prompts.Error(NoInterfaceText());
    return false;
  }
  const QString file = TempFile(kDownloadExchangeFile);
  QFile::remove(file);
  QString error;
  if (!config::SavePresetFile(file, config.image, config.trailer, &error)) {
    prompts.Error(Tr("The file ") + QLatin1Char('"') + file + QLatin1Char('"') +
                  Tr(" could not be written: ") + error);
    return false;
  }
  const ExternalRun run = Run({QStringLiteral("/d"), QString::fromLatin1(kDownloadExchangeFile)});
  QFile::remove(file);
  if (!run.ok()) {
    prompts.Error(Tr("The download through the external command failed.\r\r") +
                  (run.started ? run.error : Tr("It could not be started: ") + run.error));
    return false;
  }
  return true;
}

bool ExternalCommand::Restart() const {
  if (!configured()) {
    return false;
  }
  return QProcess::startDetached(ProgramPath(), {QStringLiteral("/i")});
}

}  // namespace zizara::core::link
