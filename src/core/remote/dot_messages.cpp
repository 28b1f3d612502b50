#include "core/remote/dot_messages.h"

#include "core/i18n/tr.h"
#include "core/link/identification.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::remote {

using i18n::Tr;

namespace {

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-'; }

// The run of digits and minus signs from `at`; `end` is where it stops.
QByteArray NumberRun(const QByteArray& text, qsizetype at, qsizetype* end) {
  qsizetype i = at;
  while (i < text.size() && IsNumberChar(text[i])) {
    ++i;
  }
  *end = i;
  return at < text.size() ? text.mid(at, i - at) : QByteArray();
}

}  // namespace

config::MemoryMap MapAfterPresetReport(const config::MemoryMap& map, int preset) {
  config::MemoryMap moved = map;
  moved.PresetOffset = config::MemoryMap::ForPreset(preset - 1).PresetOffset;
  return moved;
}

DotMessageParser::Flow DotMessageParser::HandleReply(const QByteArray& copy, qsizetype at,
                                                     qsizetype* consumed_end) {
  const char reply = copy[at];
  const char subject = at + 1 < copy.size() ? copy[at + 1] : '\0';
  qsizetype a_end = 0;
  const QByteArray a_text = NumberRun(copy, at + 2, &a_end);
  qsizetype b_end = 0;
  const QByteArray b_text = NumberRun(copy, a_end + 1, &b_end);  // one separator skipped
  bool a_ok = false;
  bool b_ok = false;
  const int a = a_text.toInt(&a_ok);
  const int b = b_text.toInt(&b_ok);
  if (!a_ok || !b_ok) {
    remote_.origin_remote = false;
    return Flow::kStop;
  }
  if (b_end < copy.size() && copy[b_end] == '*') {
    remote_.origin_remote = true;
  }
  *consumed_end = b_end;
  if (reply == 'A') {
    if (subject == 'A') {
      listener_.ReportedXPoint(a, b, remote_.origin_remote);
    } else if (subject == 'P' && a == 9 && remote_.connected) {
      // A preset outside 1..11 has no slot in the image: taking it would move the map off it.
      if (b >= 1 && b <= config::kPresetCount) {
        listener_.PresetReported(b);
      }
    } else if (subject == 'I') {
      link::ParseIdentityValues(".AI" + QByteArray::number(a) + "," + QByteArray::number(b),
                                record_);
    }
  } else if (reply == 'F') {
    listener_.FlashXPoint(a, b);
  }
  return Flow::kNext;
}

DotMessageParser::Flow DotMessageParser::HandleReload(const char* question, const char* log_line) {
  if (macro_.running) {
    macro_.stop_requested = true;
  }
  if (remote_.reload_pending) {
    listener_.ClearPortBuffers();
    return Flow::kStop;
  }
  if (prompts_.Confirm(Tr(question))) {
    listener_.ReloadRequested();
    remote_.reload_pending = true;
  }
  listener_.LogLine(QString::fromLatin1(log_line));
  return Flow::kNext;
}

void DotMessageParser::Parse(const QByteArray& text) {
  QByteArray copy = text;
  while (!copy.isEmpty()) {
    bool invalid = false;
    qsizetype at = 0;
    while (at < copy.size()) {
      const char c = copy[at];
      if (c == 'A' || c == 'F' || c == 'N' || c == 'U' || c == 'P') {
        break;
      }
      if (c != '.') {
        invalid = true;
      }
      ++at;
    }
    if (at >= copy.size()) {
      return;  // e.g. only the star of the last reply is left: the origin stays as it is
    }
    qsizetype consumed = 0;
    const char letter = copy[at];
    if (letter == 'U' || (letter == 'P' && remote_.connected)) {
      const bool update = letter == 'U';
      if (HandleReload(update ? kUpdateQuestion : kPowerUpQuestion,
                       update ? kUpdateLogLine : kPowerUpLogLine) == Flow::kStop) {
        return;
      }
      copy.clear();  // the rest of the text goes with it
    } else if (letter == 'P') {
      consumed = at + 1;  // a power-up while disconnected is only consumed
    } else if (HandleReply(copy, at, &consumed) == Flow::kStop) {
      return;
    }
    if (invalid) {
      listener_.LogLine(QString::fromLatin1(kInvalidCharLogLine));
      if (copy.size() < 5) {
        copy.clear();
      }
    }
    const QString shown = QString::fromLatin1(copy.left(consumed));
    listener_.FilePanel(shown);
    if (macro_.window_visible) {
      listener_.MacroThirdLine(Tr("Executing: ") + shown);
    }
    copy.remove(0, consumed);
    if (macro_.running && macro_.stop_requested) {
      return;
    }
  }
  remote_.origin_remote = false;
}

}  // namespace zizara::core::remote
