#include "gui/help/help_topics.h"

#include <QDir>
#include <QFileInfo>

namespace zizara::gui::help {

const std::vector<HelpTopic>& HelpTopics() {
  static const std::vector<HelpTopic> topics = {
      {1, nullptr, nullptr, "transfer.html#download-terminated"},
      {6, "TDropListForm", nullptr, "remote.html#dropped-files"},
      {9, "TDialogForm", nullptr, "transfer.html#external-command"},
      {15, "TQLXTypeForm", nullptr, "transfer.html#qlx-type"},
      {27, "TPresetOptionsForm", nullptr, "presets.html#preset-options"},
      {39, "TInstallForm", nullptr, "software.html#install-window"},
      {40, "TInstallForm", "SourceFileName", "software.html#package-file"},
      {41, "TInstallForm", "BackupFileName", "software.html#backup-file"},
      {0, "TMainForm", nullptr, "index.html"},
      {0, "TEditForm", nullptr, "matrix.html#labels"},
      {0, "TFileInfoForm", nullptr, "presets.html#file-information"},
      {0, "TCompareForm", nullptr, "presets.html#compare"},
      {0, "TLockForm", nullptr, "transfer.html#write-protection"},
      {0, "TRS232Driver", nullptr, "transfer.html#driver-window"},
      {0, "TWaitForm", nullptr, "transfer.html#driver-window"},
      {0, "TDotLogForm", nullptr, "troubleshooting.html#logs"},
      {0, "TDebugForm", nullptr, "troubleshooting.html#logs"},
      {0, "TRunMacrosForm", nullptr, "remote.html#running-macros"},
      {0, "TGainForm", nullptr, "remote.html#set-gain"},
      {0, "TKeyboardForm", nullptr, "remote.html#keypad"},
      {0, "TMousePadForm", nullptr, "remote.html#mouse-pad"},
      {0, "TPPMOptionForm", nullptr, "options.html#ppm"},
      {0, "TLCDOptionsForm", nullptr, "options.html#lcd"},
      {0, "TLeqmForm", nullptr, "options.html#leqm"},
      {0, "TScaleForm", nullptr, "options.html#scale-options"},
      {0, "TScopForm", nullptr, "options.html#phase"},
      {0, "TOptionsForm", nullptr, "options.html#program-options"},
      {0, "TVTScaleForm", nullptr, "scales.html#editor"},
      {0, "TAboutForm", nullptr, "troubleshooting.html#about"},
      {0, "TModuleForm", nullptr, "troubleshooting.html#modules"},
  };
  return topics;
}

QString HelpTarget(int context) {
  if (context <= 0) {
    return {};
  }
  for (const HelpTopic& t : HelpTopics()) {
    if (t.context == context) {
      return QString::fromLatin1(t.target);
    }
  }
  return {};
}

QString HelpTargetForWindow(const QString& window, const QString& field) {
  QString whole;
  for (const HelpTopic& t : HelpTopics()) {
    if (t.window == nullptr || window != QLatin1String(t.window)) {
      continue;
    }
    if (t.field == nullptr) {
      whole = QString::fromLatin1(t.target);
    } else if (!field.isEmpty() && field == QLatin1String(t.field)) {
      return QString::fromLatin1(t.target);
    }
  }
  return whole;
}

bool WindowUsesF1(const QString& window) {
  // The keypad's F1..F8 are the instrument's keys.
  return window == QLatin1String("TKeyboardForm");
}

QString FindHelpIndex(const QString& program_dir) {
  const QDir dir(program_dir);
  for (const QString& candidate :
       {QStringLiteral("../share/doc/vt-zizara/help/index.html"),  // installed
        QStringLiteral("docs/help/index.html"),                    // beside the program
        QStringLiteral("../../docs/help/index.html")}) {           // build/src/apps
    const QFileInfo info(dir.filePath(candidate));
    if (info.isFile()) {
      return info.canonicalFilePath();
    }
  }
  return {};
}

QUrl HelpUrl(const QString& index_file, const QString& target) {
  const int hash = target.indexOf(QLatin1Char('#'));
  const QString page = hash < 0 ? target : target.left(hash);
  QUrl url =
      QUrl::fromLocalFile(QFileInfo(index_file)
                              .dir()
                              .filePath(page.isEmpty() ? QFileInfo(index_file).fileName() : page));
  if (hash >= 0) {
    url.setFragment(target.mid(hash + 1));
  }
  return url;
}

}  // namespace zizara::gui::help
