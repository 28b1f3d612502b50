#pragma once

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace zizara::gui::link {

// The instrument-message log: text received in the dot protocol, appended only.
class TDotLogForm : public QWidget {
  Q_OBJECT

 public:
  explicit TDotLogForm(QWidget* parent = nullptr);
  void AppendLine(const QString& line);
  QPlainTextEdit* DotLines() { return dot_lines_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* dot_lines_;
  bool placed_ = false;
};

// Computed instrument addresses, for diagnosis.
class TDebugForm : public QWidget {
  Q_OBJECT

 public:
  explicit TDebugForm(QWidget* parent = nullptr);
  void SetLines(const QStringList& lines);
  void AppendLines(const QStringList& lines);
  QListWidget* DebugList() { return debug_list_; }
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* debug_list_;
  QPushButton* button1_;
  bool placed_ = false;
};

// "SUM: " + the SUM gain address of each preset as 8 hex digits.
QStringList SumAddressLines();

}  // namespace zizara::gui::link
