#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/options/config_diff.h"

namespace zizara::gui::options {

// `TCompareForm`: the differences between the configuration in memory and a file, one per
// line. A plain resizable window that does not block the main window.
class TCompareForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCompareForm(QWidget* parent = nullptr);

  void ShowDifferences(const QString& file_name, const QList<core::options::Difference>& list);
  // Puts the whole list on the clipboard as text.
  void CopyClick();

  QPlainTextEdit* DiffText() { return text_; }
  QPushButton* CopyButton() { return copy_; }

 private:
  QPlainTextEdit* text_ = nullptr;
  QPushButton* copy_ = nullptr;
};

}  // namespace zizara::gui::options
