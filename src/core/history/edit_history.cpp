#include "core/history/edit_history.h"

namespace zizara::core::history {

EditHistory::EditHistory() { entries_.push_back({}); }

void EditHistory::Reset(const config::ConfigurationImage& image, int preset, bool saved) {
  entries_.clear();
  entries_.push_back({image, preset, QString()});
  current_ = 0;
  saved_ = saved ? 0 : -1;
}

bool EditHistory::Record(const config::ConfigurationImage& image, int preset,
                         const QString& label) {
  if (image == entries_[current_].image) return false;
  entries_.resize(current_ + 1);
  if (saved_ > current_) saved_ = -1;  // that state can no longer be reached
  entries_.push_back({image, preset, label});
  ++current_;
  if (Steps() > kMaxSteps) {
    entries_.erase(entries_.begin());
    --current_;
    saved_ = saved_ > 0 ? saved_ - 1 : -1;
  }
  return true;
}

void EditHistory::MarkSaved() { saved_ = current_; }

QString EditHistory::UndoLabel() const { return CanUndo() ? entries_[current_].label : QString(); }

QString EditHistory::RedoLabel() const {
  return CanRedo() ? entries_[current_ + 1].label : QString();
}

std::optional<EditHistory::Restore> EditHistory::Undo() {
  if (!CanUndo()) return std::nullopt;
  const int preset = entries_[current_].preset;
  --current_;
  return Restore{&entries_[current_].image, preset};
}

std::optional<EditHistory::Restore> EditHistory::Redo() {
  if (!CanRedo()) return std::nullopt;
  ++current_;
  return Restore{&entries_[current_].image, entries_[current_].preset};
}

}  // namespace zizara::core::history
