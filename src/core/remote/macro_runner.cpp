#include "core/remote/macro_runner.h"

#include "core/i18n/tr.h"
#include "core/link/instrument_link.h"
#include "core/link/wait.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::remote {

using i18n::Tr;

bool IsMacroFileName(const QString& path) {
  return path.right(4).compare(QStringLiteral(".MCR"), Qt::CaseInsensitive) == 0;
}

bool MacroRunner::WaitForConfirmation(const QByteArray& line) {
  const QByteArray tail = line.mid(2);
  link::LinkState& state = link_.state();
  bool confirmed = false;
  last_reply_ = 0;
  const auto settled = [&] {
    // Routings reported while a macro runs count as set by this program.
    remote_.origin_remote = true;
    if (macro_.reply_seen || macro_.stop_requested) {
      return true;
    }
    if (!remote_.connected) {
      macro_.reply_seen = true;  // nobody will answer: send the rest once
      return true;
    }
    const QByteArray seen = " " + state.line_buffer;
    for (const char letter : {'A', 'F', 'N'}) {
      if (seen.contains(QByteArray(".") + letter + tail)) {
        macro_.reply_seen = true;
        confirmed = true;
        last_reply_ = letter;
        break;
      }
    }
    return macro_.reply_seen;
  };
  link::WaitUntil(settled, timing_.polls * timing_.poll_ms, &link_.transport(),
                  [this] { return link_.LineFailed(); });
  return confirmed;
}

MacroEnd MacroRunner::Run(const MacroFile& macro) {
  macro_.running = true;
  macro_.stop_requested = false;
  link::LinkState& state = link_.state();

  view_.FilePanel(Tr("Macro Started... [") + macro.name + QStringLiteral("]"));
  view_.ShowWindow(Tr("VT-Zizara is executing the macro called: ") + macro.name, Tr(kStopHint),
                   Tr("Macro Started..."));
  macro_.window_visible = true;

  // Replies collect in the line buffer until the line they confirm is settled.
  state.line_received = false;
  state.handshake_active = true;

  for (const QByteArray& line : macro.lines) {
    if (macro_.stop_requested) {
      break;  // an update interpreted after the last line ends the macro there
    }
    if (!IsMacroCommand(line) || (is_line_allowed_ && !is_line_allowed_(line))) {
      if (IsMacroCommand(line)) {
        view_.LineDone({line, 0, false});
      }
      continue;
    }
    link::Pause(timing_.poll_ms);
    MacroLineOutcome outcome{line, 0, false};
    while (true) {
      macro_.reply_seen = false;
      link_.SendText(line + "\r");
      ++outcome.sends;
      outcome.confirmed = WaitForConfirmation(line);
      outcome.reply = outcome.confirmed ? last_reply_ : 0;
      link::PumpEvents();
      if (macro_.stop_requested || macro_.reply_seen || outcome.sends >= timing_.sends) {
        break;
      }
    }
    if (macro_.stop_requested) {
      view_.LineDone(outcome);
      break;  // the replies collected for this line stay uninterpreted
    }
    const QByteArray replies = state.line_buffer;
    state.line_buffer.clear();
    parser_.Parse(replies);
    view_.LineDone(outcome);
    if (between_lines_ && !macro_.stop_requested) {
      between_lines_();
      // What ran in between may have let the line go; the next replies are ours again.
      state.line_buffer.clear();
      state.line_received = false;
      state.handshake_active = true;
    }
  }

  state.handshake_active = false;
  const bool stopped = macro_.stop_requested;
  view_.FilePanel(stopped ? Tr("Macro stopped by user...") : Tr("Macro finished..."));
  macro_.running = false;
  macro_.window_visible = false;
  view_.HideWindow();
  return stopped ? MacroEnd::kStopped : MacroEnd::kFinished;
}

MacroEnd MacroRunner::RunFile(const QString& path) {
  macro_.running = true;
  macro_.stop_requested = false;
  MacroFile macro;
  QString error;
  if (!ReadMacroFile(path, &macro, &error)) {
    link_.prompts().Error(error);
    macro_.running = false;
    return MacroEnd::kNotRun;
  }
  return Run(macro);
}

}  // namespace zizara::core::remote
