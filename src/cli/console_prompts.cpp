#include "cli/console_prompts.h"

#include <cstdio>

#include "core/i18n/tr.h"

namespace zizara::cli {

using core::i18n::Tr;
using core::ui_port::Answer;
using core::ui_port::PromptButtons;
using core::ui_port::PromptKind;

namespace {
QString KindPrefix(PromptKind kind) {
  switch (kind) {
    case PromptKind::kWarning:
      return Tr("Warning: ");
    case PromptKind::kError:
      return Tr("Error: ");
    case PromptKind::kInformation:
      return QString();
    case PromptKind::kConfirmation:
      return QString();
  }
  return QString();
}
}  // namespace

Answer ConsolePrompts::Ask(PromptKind kind, const QString& text, PromptButtons buttons) {
  err_ << KindPrefix(kind) << core::ui_port::PromptTextForConsole(text);
  if (buttons == PromptButtons::kOk) {
    err_ << Qt::endl;
    return Answer::kOk;
  }
  const bool with_cancel = buttons == PromptButtons::kYesNoCancel;
  Answer fallback = default_answer_;
  if (fallback == Answer::kCancel && !with_cancel) {
    fallback = Answer::kNo;
  }
  if (!interactive_) {
    err_ << ' ' << (fallback == Answer::kYes ? Tr("[Yes]") : fallback == Answer::kNo ? Tr("[No]")
                                                                                       : Tr("[Cancel]"))
         << Qt::endl;
    return fallback;
  }
  err_ << (with_cancel ? Tr(" [y/n/c] ") : Tr(" [y/n] ")) << Qt::flush;
  char line[64] = {};
  if (std::fgets(line, sizeof line, stdin) == nullptr) {
    return fallback;
  }
  switch (line[0]) {
    case 'y':
    case 'Y':
      return Answer::kYes;
    case 'n':
    case 'N':
      return Answer::kNo;
    default:
      return with_cancel ? Answer::kCancel : Answer::kNo;
  }
}

}  // namespace zizara::cli
