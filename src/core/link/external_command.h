#pragma once

#include <QString>
#include <QStringList>

#include "core/config/configuration.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::link {

inline constexpr char kUploadExchangeFile[] = "memory.cod";
inline constexpr char kDownloadExchangeFile[] = "memory.380";

struct ExternalRun {
  bool started = false;
  bool crashed = false;
  int exit_code = -1;
  QString error;  // why it could not start or how it ended badly
  bool ok() const { return started && !crashed && exit_code == 0; }
};

// Transfers handed to the program the ExtCMD setting names, with exchange files in the temp
// folder, which is also its working folder.
class ExternalCommand {
 public:
  // `ext_cmd` is relative to `program_dir` unless absolute.
  ExternalCommand(QString program_dir, QString ext_cmd, QString temp_dir);

  bool configured() const { return !ext_cmd_.isEmpty(); }
  QString ProgramPath() const;
  QString TempFile(const char* name) const;

  // Starts the program with an argument list (no shell) and waits, keeping events flowing.
  ExternalRun Run(const QStringList& arguments, bool in_temp_dir = true) const;

  // "/r $1c000 128": true when "memory.cod" appeared and loaded into the configuration (a bare
  // image, so the identity becomes zero). Shows the upload error otherwise.
  bool Upload(config::Configuration& config, ui_port::Prompts& prompts) const;
  // "/d memory.380": writes the preset file, runs the program, removes the file. Reports a
  // failing program instead of claiming success.
  bool Download(config::Configuration& config, ui_port::Prompts& prompts) const;
  // "/i", not awaited.
  bool Restart() const;

 private:
  QString program_dir_;
  QString ext_cmd_;
  QString temp_dir_;
};

QString NoInterfaceText();

}  // namespace zizara::core::link
