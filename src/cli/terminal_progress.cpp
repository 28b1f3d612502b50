#include "cli/terminal_progress.h"

#include <algorithm>

namespace zizara::cli {

void TerminalProgress::SetCaption(const QString& caption) {
  if (!caption.isEmpty()) {
    caption_ = caption;
  }
}

void TerminalProgress::SetMaximum(int maximum) {
  maximum_ = maximum;
  last_percent_ = -1;
}

void TerminalProgress::SetPosition(int position) {
  position_ = position;
  Draw();
}

void TerminalProgress::ShowProgress() {
  shown_ = true;
  last_percent_ = -1;
  Draw();
}

void TerminalProgress::HideProgress() {
  if (enabled_ && shown_) {
    err_ << "\r\033[K" << Qt::flush;
  }
  shown_ = false;
}

void TerminalProgress::Draw() {
  if (sink_ && shown_ && maximum_ > 0) {
    sink_(std::clamp(position_ * 100 / maximum_, 0, 100));
  }
  if (!enabled_ || !shown_ || maximum_ <= 0) {
    return;
  }
  const int percent = std::clamp(position_ * 100 / maximum_, 0, 100);
  if (percent == last_percent_) {
    return;
  }
  last_percent_ = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  err_ << '\r' << caption_ << " [" << QString(filled, QLatin1Char('#'))
       << QString(kWidth - filled, QLatin1Char(' ')) << "] " << percent << '%' << Qt::flush;
}

}  // namespace zizara::cli
