#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "core/config/configuration_image.h"

namespace zizara::core::history {

// The image is small, so every step keeps a whole copy of it rather than a way to invert the
// edit: undoing can then never drift from what was really there.
struct Snapshot {
  config::ConfigurationImage image;
  int preset = 0;  // the preset shown when the step was made, shown again on undo and redo
  QString label;   // what the step did, "Set X-Point 5/7"; empty for the starting point
};

// Undo and redo over whole-image snapshots. Entry 0 is the configuration as it was opened or
// uploaded; each further entry is the state after one step. At most kMaxSteps steps are kept;
// the oldest go first. Remembers which entry matches the file last saved.
class EditHistory {
 public:
  static constexpr int kMaxSteps = 200;

  EditHistory();

  // A fresh history starting at `image`; `saved` says whether that is what the file holds.
  void Reset(const config::ConfigurationImage& image, int preset, bool saved);
  // Adds a step when `image` differs from the current entry, dropping whatever could have been
  // redone. Returns false (and keeps nothing) when the image is unchanged.
  bool Record(const config::ConfigurationImage& image, int preset, const QString& label);
  // The current entry is what the file now holds.
  void MarkSaved();

  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < static_cast<int>(entries_.size()); }
  // Label of the step Undo would take back, of the step Redo would make again.
  QString UndoLabel() const;
  QString RedoLabel() const;

  // Both return the entry to restore and the preset to show (the one the step was made in),
  // or nothing when there is no such step.
  struct Restore {
    const config::ConfigurationImage* image = nullptr;
    int preset = 0;
  };
  std::optional<Restore> Undo();
  std::optional<Restore> Redo();

  // Whether the current entry is the one last saved.
  bool AtSaved() const { return saved_ == current_; }
  const config::ConfigurationImage& Current() const { return entries_[current_].image; }
  int Steps() const { return static_cast<int>(entries_.size()) - 1; }
  int Position() const { return current_; }

 private:
  std::vector<Snapshot> entries_;
  int current_ = 0;
  int saved_ = 0;  // -1 when no entry matches the saved file
};

}  // namespace zizara::core::history
