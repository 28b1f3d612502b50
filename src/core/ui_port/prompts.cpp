#include "core/ui_port/prompts.h"

namespace zizara::core::ui_port {

namespace {
Answer DefaultAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::kOk:
      return Answer::kOk;
    case PromptButtons::kYesNo:
      return Answer::kNo;
    case PromptButtons::kYesNoCancel:
      return Answer::kCancel;
  }
  return Answer::kOk;
}
}  // namespace

Answer ScriptedPrompts::Ask(PromptKind kind, const QString& text, PromptButtons buttons) {
  Answer answer = DefaultAnswer(buttons);
  if (buttons != PromptButtons::kOk && !answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  records_.push_back({kind, text, buttons, answer, {}});
  return answer;
}

QStringList ScriptedPrompts::Texts() const {
  QStringList texts;
  for (const Record& r : records_) {
    texts << r.text;
  }
  return texts;
}

Answer SilentPrompts::Ask(PromptKind /*kind*/, const QString& /*text*/, PromptButtons buttons) {
  if (buttons == PromptButtons::kOk) {
    return Answer::kOk;
  }
  return confirmation_answer_;
}

QString PromptTextForConsole(const QString& text) {
  QString out = text;
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

}  // namespace zizara::core::ui_port
