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
};

}  // namespace zizara::core::ui_port
