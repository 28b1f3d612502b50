#pragma once

// Records what the interpreter and the macro runner hand on, as comparable text lines.

#include <QStringList>

#include "core/remote/dot_messages.h"
#include "core/remote/macro_runner.h"

namespace zizara::testing {

class RecordingListener : public core::remote::DotListener {
 public:
  void ReportedXPoint(int output, int input, bool remote) override {
    events << QStringLiteral("xpoint %1 %2 %3")
                  .arg(output)
                  .arg(input)
                  .arg(remote ? "remote" : "local");
  }
  void FlashXPoint(int output, int input) override {
    events << QStringLiteral("flash %1 %2").arg(output).arg(input);
  }
  void PresetReported(int preset) override { events << QStringLiteral("preset %1").arg(preset); }
  void ReloadRequested() override { events << QStringLiteral("reload"); }
  void ClearPortBuffers() override { events << QStringLiteral("clear buffers"); }
  void LogLine(const QString& line) override { log << line; }
  void FilePanel(const QString& text) override { panel << text; }
  void MacroThirdLine(const QString& text) override { third << text; }

  QStringList events;
  QStringList log;
  QStringList panel;
  QStringList third;
};

class RecordingView : public core::remote::MacroView {
 public:
  void FilePanel(const QString& text) override { panel << text; }
  void ShowWindow(const QString& l1, const QString& l2, const QString& l3) override {
    window = {l1, l2, l3};
    ++shown;
  }
  void HideWindow() override { ++hidden; }
  void LineDone(const core::remote::MacroLineOutcome& o) override {
    outcomes << QStringLiteral("%1 sends=%2 %3")
                    .arg(QString::fromLatin1(o.line))
                    .arg(o.sends)
                    .arg(o.confirmed ? "confirmed" : "unconfirmed");
  }

  QStringList panel;
  QStringList window;
  QStringList outcomes;
  int shown = 0;
  int hidden = 0;
};

}  // namespace zizara::testing
