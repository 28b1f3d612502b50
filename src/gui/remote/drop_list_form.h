#pragma once

#include <QListWidget>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>
#include <functional>

namespace zizara::gui::remote {

// Moves entry `from` onto position `to` (past the end: to the end); the rest shift by one.
void MoveEntry(QStringList& list, int from, int to);

// What a drop asks for: the single file acted on, and the files to list.
struct DropPlan {
  QString act_on;        // set only when exactly one file was dropped and it exists
  QStringList presets;   // ".PRE", in drop order
  QStringList macros;    // ".MCR", in drop order
  bool show_window = false;
};
DropPlan PlanDrop(const QStringList& paths, const std::function<bool(const QString&)>& exists);

// A list whose entries are reordered by dragging one onto another: the dragged entry takes the
// target's position (below the last entry: the end). Drags from elsewhere are refused.
class ReorderList : public QListWidget {
  Q_OBJECT

 public:
  explicit ReorderList(QWidget* parent = nullptr);
  // The move a drop on `target_row` (-1: below the last entry) makes.
  void MoveCurrentTo(int target_row);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// Files dropped from the file manager: presets to load, macros to run one by one or together.
class TDropListForm : public QWidget {
  Q_OBJECT

 public:
  struct Actions {
    std::function<void(const QString&)> open_preset;
    std::function<void(const QString&)> run_macro;
    // A single dropped file acted on by its type; false ends the handling of the drop.
    std::function<bool(const QString&)> act_on_single;
  };

  TDropListForm(Actions actions, QWidget* main_window);

  void AddFile(const QString& path);
  // Handles dropped paths as the main window and this window receive them.
  void HandleDrop(const QStringList& paths);

  QListWidget* ListPreset() { return list_preset_; }
  QListWidget* CheckListMacro() { return list_macro_; }
  QStringList Presets() const;
  QStringList Macros() const;

  void ExecuteAll();
  void ExecuteSelected();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  ReorderList* MakeList();
  bool placed_ = false;

  Actions actions_;
  QTabWidget* pages_;
  QListWidget* list_preset_;
  QListWidget* list_macro_;
};

}  // namespace zizara::gui::remote
