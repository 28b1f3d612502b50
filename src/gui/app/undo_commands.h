#pragma once

#include <QObject>
#include <QString>

#include "core/history/edit_history.h"
#include "core/ui_port/prompts.h"
#include "gui/app/menu_state.h"

class QAction;

namespace zizara::gui::app {

class TMainForm;

// Edit → "Undo" and "Redo" over snapshots of the whole image, and File → "Export" (routings as
// CSV, the matrix as a PNG picture). Each offline change reports itself with a name; opening or
// uploading a configuration starts a fresh history; saving marks the snapshot that matches
// the file, so undoing back to it clears the modified flag.
class UndoCommands : public QObject {
  Q_OBJECT

 public:
  UndoCommands(TMainForm& form, core::ui_port::Prompts& prompts);

  // A step named `step` when the image differs from the last snapshot.
  void Record(const QString& step);
  void Undo();
  void Redo();
  void ExportRoutings();
  void ExportPicture();

  const core::history::EditHistory& History() const { return history_; }
  QAction* UndoAction() { return undo_; }
  QAction* RedoAction() { return redo_; }

 private:
  void MenuStateSet(MenuState state);
  void Restore(const core::history::EditHistory::Restore& restore);
  void Refresh();
  bool Available() const;
  // Asks before replacing an existing file; false when the user keeps it.
  bool MayWrite(const QString& name);
  void Write(const QString& name, const QByteArray& bytes);

  TMainForm& form_;
  core::ui_port::Prompts& prompts_;
  core::history::EditHistory history_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  bool fresh_pending_ = false;  // a configuration was opened or uploaded: start anew
  bool restoring_ = false;
};

}  // namespace zizara::gui::app
