#include "cli/cli_live.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>
#include <vector>

#include "cli/console_prompts.h"
#include "cli/terminal_progress.h"
#include "core/i18n/tr.h"
#include "core/link/identification.h"
#include "core/live/gain.h"
#include "core/live/keypad.h"
#include "core/ui_port/prompts.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace link = core::link;
namespace live = core::live;

namespace {

constexpr int kOutputs = 96;

// The layers one conversation needs, on a port opened for it.
struct LiveSession {
  LiveSession(std::unique_ptr<link::Transport> t, ConsolePrompts& prompts,
              TerminalProgress& progress)
      : transport(std::move(t)),
        line(*transport, state, prompts),
        driver(line, engine, record, progress),
        identification(driver, flags) {}

  std::unique_ptr<link::Transport> transport;
  link::LinkState state;
  link::InstrumentRecord record;
  link::EngineState engine;
  link::ConnectFlags flags;
  link::InstrumentLink line;
  link::DriverEngine driver;
  link::Identification identification;
};

// "3,7" into {3, 7}; nullopt when any part is not an output number.
std::optional<std::vector<int>> ParseOutputs(const QString& text) {
  std::vector<int> outputs;
  for (const QString& part : text.split(QLatin1Char(','))) {
    bool ok = false;
    const int o = part.trimmed().toInt(&ok);
    if (!ok || o < 1 || o > kOutputs) {
      return std::nullopt;
    }
    outputs.push_back(o);
  }
  return outputs;
}

bool Open(LiveSession& s, QTextStream& err) {
  QString error;
  if (!s.line.OpenLink(&error)) {
    err << link::PortUnavailableText(s.transport->Name(), error) << Qt::endl;
    return false;
  }
  return true;
}

QJsonValue GainJson(std::optional<int> tenths) {
  return tenths ? QJsonValue(*tenths / 10.0) : QJsonValue(QJsonValue::Null);
}

int RunGain(const GlobalOptions& options, const QStringList& args, QTextStream& out,
            QTextStream& err, LiveSession& s) {
  if (args.isEmpty() || args.size() > 2) {
    return UsageError(err, Tr("gain needs outputs such as 3,7 and optionally a value in dB"));
  }
  const auto outputs = ParseOutputs(args[0]);
  if (!outputs) {
    return UsageError(err, Tr("gain: outputs are numbers from 1 to 96, separated by commas"));
  }
  std::optional<int> tenths;
  if (args.size() == 2) {
    const auto value = live::ParseGainText(args[1]);
    if (!value) {
      return UsageError(
          err, core::ui_port::PromptTextForConsole(Tr(live::kInvalidGainText)).simplified());
    }
    tenths = live::GainTenths(*value);
  }
  if (!Open(s, err)) {
    return kExitFailed;
  }
  if (!s.identification.ProbeRemote()) {
    err << Tr("No instrument answered the dot protocol on %1.").arg(s.transport->Name())
        << Qt::endl;
    return kExitFailed;
  }
  s.state.handshake_active = false;
  QJsonArray json;
  bool all = true;
  const auto report = [&](int output, std::optional<int> gain, const QString& failure) {
    QJsonObject o;
    o[QStringLiteral("output")] = output;
    o[QStringLiteral("gain")] = GainJson(gain);
    json.append(o);
    if (gain) {
      if (!options.json) out << output << ": " << live::TenthsAsDecimal(*gain) << " dB" << '\n';
    } else {
      all = false;
      err << output << ": " << failure << Qt::endl;
    }
  };
  if (tenths) {
    for (const live::GainSendResult& r : live::SendGain(s.line, *outputs, *tenths)) {
      const auto answered = live::GainTenthsFromReply(r.reply);
      report(r.output, answered,
             r.reply.isEmpty() ? Tr("no reply after %1 sends").arg(r.attempts)
                               : Tr("not done: ") + ForTerminal(QString::fromLatin1(r.reply)));
    }
  } else {
    for (const int output : *outputs) {
      report(output, live::ReadGainTenths(s.line, output), Tr("no reply"));
    }
  }
  if (options.json) {
    out << QJsonDocument(json).toJson(QJsonDocument::Compact) << '\n';
  }
  out.flush();
  s.line.CloseLink();
  return all ? kExitOk : kExitFailed;
}

int RunKey(const GlobalOptions& options, const QStringList& args, QTextStream& out,
           QTextStream& err, LiveSession& s) {
  bool ok = false;
  const int key = args.size() == 1 ? args[0].toInt(&ok) : 0;
  if (!ok || key < 1 || key > live::kKeyCount) {
    return UsageError(err, Tr("key needs one front-panel key number from 1 to 8"));
  }
  if (!Open(s, err)) {
    return kExitFailed;
  }
  const bool pressed = live::PressFrontKey(s.line, key);
  if (options.json) {
    QJsonObject o;
    o[QStringLiteral("key")] = key;
    o[QStringLiteral("pressed")] = pressed;
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << Qt::endl;
  } else if (pressed) {
    out << Tr("Key %1 pressed.").arg(key) << Qt::endl;
  }
  if (!pressed) {
    err << Tr("The QLX did not take key %1.").arg(key) << Qt::endl;
  }
  s.line.CloseLink();
  return pressed ? kExitOk : kExitFailed;
}

}  // namespace

bool IsLiveVerb(const QString& verb) {
  return verb == QStringLiteral("gain") || verb == QStringLiteral("key");
}

int RunLiveVerb(const GlobalOptions& global, const QString& verb, const QStringList& raw_args,
                QTextStream& out, QTextStream& err, const CliEnvironment& env) {
  GlobalOptions options = global;
  const QStringList args = WithoutJsonFlag(raw_args, options);
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return kExitFailed;
  }
  // A wrong key fails quietly in the primitive; nothing here asks a question.
  ConsolePrompts prompts(err, false, core::ui_port::Answer::kNo);
  TerminalProgress progress(err, false);
  LiveSession session(env.make_transport(port), prompts, progress);
  return verb == QStringLiteral("gain") ? RunGain(options, args, out, err, session)
                                        : RunKey(options, args, out, err, session);
}

}  // namespace zizara::cli
