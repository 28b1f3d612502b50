#pragma once

#include <QTextStream>

#include "core/ui_port/prompts.h"

namespace zizara::cli {

// Messages go to stderr; questions take the given fixed answer unless a terminal is attached
// and answers are allowed, in which case the user is asked.
class ConsolePrompts : public core::ui_port::Prompts {
 public:
  ConsolePrompts(QTextStream& err, bool interactive, core::ui_port::Answer default_answer)
      : err_(err), interactive_(interactive), default_answer_(default_answer) {}

  core::ui_port::Answer Ask(core::ui_port::PromptKind kind, const QString& text,
                            core::ui_port::PromptButtons buttons) override;

 private:
  QTextStream& err_;
  bool interactive_;
  core::ui_port::Answer default_answer_;
};

}  // namespace zizara::cli
