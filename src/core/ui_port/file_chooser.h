#pragma once

#include <QString>

namespace zizara::core::ui_port {

// Open and save dialogs. An empty result means the user cancelled.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // `filter` in Qt's form: "Text (*.ext);;All Files (*)".
  virtual QString OpenFileName(const QString& title, const QString& filter) = 0;
  virtual QString SaveFileName(const QString& title, const QString& filter,
                               const QString& suggested) = 0;
  // A save dialog whose filters are choices: `selected` gets the filter the user left chosen
  // (the first unless the dialog can offer others).
  virtual QString SaveFileNameWithChoice(const QString& title, const QString& filter,
                                         const QString& suggested, QString* selected) {
    *selected = filter.section(QStringLiteral(";;"), 0, 0);
    return SaveFileName(title, filter, suggested);
  }
};

}  // namespace zizara::core::ui_port
