#include "cli/cli_scale.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "cli/console_prompts.h"
#include "cli/terminal_progress.h"
#include "core/i18n/tr.h"
#include "core/io/file_access.h"
#include "core/link/identification.h"
#include "core/scale/scale_download.h"
#include "core/scale/scale_image.h"
#include "core/scale/scale_library.h"
#include "gui/common/scale_preview_painter.h"

namespace zizara::cli {

using core::i18n::Tr;
namespace link = core::link;
namespace scale = core::scale;

namespace {

QString Text(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

// A list's text, or null for a position off the list.
QJsonValue ListEntry(const QStringList& list, int position) {
  return position >= 0 && position < list.size() ? QJsonValue(list[position])
                                                 : QJsonValue(QJsonValue::Null);
}

QString ListText(const QStringList& list, int position) {
  return position >= 0 && position < list.size() ? list[position] : Tr("(none: %1)").arg(position);
}

QJsonObject ScaleJson(const scale::ScaleRecord& r, int number) {
  const QStringList styles = scale::StyleList();
  QJsonObject o;
  o[QStringLiteral("number")] = number;
  o[QStringLiteral("short_name")] = Text(r.ShortName());
  o[QStringLiteral("key")] = ListEntry(scale::KeyList(), r.KeyNumber());
  o[QStringLiteral("description")] = Text(r.Description());
  o[QStringLiteral("digital")] = r.IsDigital();
  o[QStringLiteral("dynamics")] = ListEntry(scale::DynamicsTexts(), r.DynamicsPosition());
  o[QStringLiteral("reference")] = r.Reference();
  QJsonArray lines;
  for (int n = 0; n < scale::kLineCount; ++n) {
    QJsonObject line;
    line[QStringLiteral("level")] = r.LineLevel(n);
    line[QStringLiteral("label")] = Text(r.LineLabel(n));
    line[QStringLiteral("style")] = ListEntry(styles, r.LineStyle(n));
    lines.append(line);
  }
  o[QStringLiteral("lines")] = lines;
  o[QStringLiteral("note")] = Text(r.Note());
  return o;
}

void PrintScaleText(const scale::ScaleRecord& r, int number, QTextStream& out) {
  const QStringList styles = scale::StyleList();
  out << Tr("Scale #") << number << " - " << ForTerminal(Text(r.ShortName())) << '\n'
      << "  " << Tr("Key No.: ") << ListText(scale::KeyList(), r.KeyNumber()) << '\n'
      << "  " << Tr("Description: ") << ForTerminal(Text(r.Description())) << '\n'
      << "  " << Tr("Digital Scale: ") << (r.IsDigital() ? Tr("yes") : Tr("no")) << '\n'
      << "  " << Tr("Dynamics: ") << ListText(scale::DynamicsTexts(), r.DynamicsPosition()) << '\n'
      << "  " << Tr("Reference: ") << r.Reference() << '\n';
  for (int n = 0; n < scale::kLineCount; ++n) {
    if (r.LineStyle(n) == 0) {
      continue;
    }
    out << "  " << Tr("Line ") << n + 1 << ": " << r.LineLevel(n) << " \""
        << ForTerminal(Text(r.LineLabel(n))) << "\" " << ListText(styles, r.LineStyle(n)) << '\n';
  }
  if (!r.Note().isEmpty()) {
    out << "  " << Tr("Note: ") << ForTerminal(Text(r.Note())) << '\n';
  }
}

bool Load(const QString& path, scale::ScaleLibrary& library, QTextStream& err) {
  QString error;
  if (!scale::LoadScaleLibrary(path, library, &error)) {
    err << ForTerminal(error) << Qt::endl;
    return false;
  }
  return true;
}

// "1".."20"; 0 when it is not a scale number.
int ScaleNumber(const QString& text) {
  bool ok = false;
  const int n = text.toInt(&ok);
  return ok && n >= 1 && n <= scale::kScaleCount ? n : 0;
}

int Info(const QStringList& args, bool json, QTextStream& out, QTextStream& err) {
  QString path;
  for (const QString& a : args) {
    if (a == QStringLiteral("--json")) {
      json = true;
    } else if (a.startsWith(QStringLiteral("--")) || !path.isEmpty()) {
      return UsageError(err, Tr("scale info takes one library file and --json"));
    } else {
      path = a;
    }
  }
  if (path.isEmpty()) {
    return UsageError(err, Tr("scale info needs a library file"));
  }
  scale::ScaleLibrary library;
  if (!Load(path, library, err)) {
    return kExitFailed;
  }
  if (json) {
    QJsonArray scales;
    for (int i = 0; i < scale::kScaleCount; ++i) {
      scales.append(ScaleJson(library.records[static_cast<std::size_t>(i)], i + 1));
    }
    out << QJsonDocument(scales).toJson(QJsonDocument::Compact) << Qt::endl;
  } else {
    for (int i = 0; i < scale::kScaleCount; ++i) {
      PrintScaleText(library.records[static_cast<std::size_t>(i)], i + 1, out);
    }
    out.flush();
  }
  return kExitOk;
}

// Splits "LIB N [--opt VALUE]" with the options this verb takes.
struct ScaleArgs {
  QString path;
  int number = 0;
  QString out;
  QString png;
};

bool ParseScaleArgs(const QString& verb, const QStringList& args, const QStringList& options,
                    ScaleArgs* parsed, QTextStream& err, int* code) {
  QStringList plain;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a.startsWith(QStringLiteral("--"))) {
      if (!options.contains(a) || i + 1 >= args.size()) {
        *code = UsageError(err, Tr("scale %1: unknown option or missing value: %2").arg(verb, a));
        return false;
      }
      (a == QStringLiteral("--out") ? parsed->out : parsed->png) = args[++i];
    } else {
      plain << a;
    }
  }
  if (plain.size() != 2) {
    *code = UsageError(err, Tr("scale %1 needs a library file and a scale number").arg(verb));
    return false;
  }
  parsed->path = plain[0];
  parsed->number = ScaleNumber(plain[1]);
  if (parsed->number == 0) {
    *code = UsageError(err, Tr("the scale number must be 1 to 20, not %1").arg(plain[1]));
    return false;
  }
  return true;
}

int Image(const QStringList& args, QTextStream& out, QTextStream& err) {
  ScaleArgs a;
  int code = kExitOk;
  if (!ParseScaleArgs(QStringLiteral("image"), args, {QStringLiteral("--out")}, &a, err, &code)) {
    return code;
  }
  QString error;
  if (!a.out.isEmpty() && !core::io::CheckSaveTarget(a.out, &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  scale::ScaleLibrary library;
  if (!Load(a.path, library, err)) {
    return kExitFailed;
  }
  const scale::ScaleImage image =
      scale::BuildScaleImage(library.records[static_cast<std::size_t>(a.number - 1)]);
  if (!a.out.isEmpty()) {
    if (!core::io::SaveFileAtomically(a.out, scale::ImageBytes(image), &error)) {
      err << Tr("Error: ") << Tr("could not write ") << ForTerminal(a.out) << ": " << error
          << Qt::endl;
      return kExitFailed;
    }
    return kExitOk;
  }
  for (int i = 0; i < scale::kImageWords; ++i) {
    out << QStringLiteral("%1")
               .arg(image[static_cast<std::size_t>(i)], 4, 16, QLatin1Char('0'))
               .toUpper()
        << (i % 8 == 7 ? '\n' : ' ');
  }
  out.flush();
  return kExitOk;
}

int Preview(const QStringList& args, QTextStream& err) {
  ScaleArgs a;
  int code = kExitOk;
  if (!ParseScaleArgs(QStringLiteral("preview"), args, {QStringLiteral("--png")}, &a, err, &code)) {
    return code;
  }
  if (a.png.isEmpty()) {
    return UsageError(err, Tr("scale preview needs --png OUT.png"));
  }
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    err << Tr("Error: drawing the preview needs the graphical application.") << Qt::endl;
    return kExitFailed;
  }
  QString error;
  if (!core::io::CheckSaveTarget(a.png, &error)) {
    err << Tr("Error: ") << ForTerminal(error) << Qt::endl;
    return kExitFailed;
  }
  scale::ScaleLibrary library;
  if (!Load(a.path, library, err)) {
    return kExitFailed;
  }
  const QImage picture = gui::common::RenderScalePreview(
      scale::BuildScaleImage(library.records[static_cast<std::size_t>(a.number - 1)]));
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
  }
  if (!core::io::SaveFileAtomically(a.png, png, &error)) {
    err << Tr("Error: ") << Tr("could not write ") << ForTerminal(a.png) << ": " << error
        << Qt::endl;
    return kExitFailed;
  }
  return kExitOk;
}

int Download(const GlobalOptions& options, const QStringList& args, QTextStream& err,
             const CliEnvironment& env) {
  ScaleArgs a;
  int code = kExitOk;
  if (!ParseScaleArgs(QStringLiteral("download"), args, {}, &a, err, &code)) {
    return code;
  }
  scale::ScaleLibrary library;
  if (!Load(a.path, library, err)) {
    return kExitFailed;
  }
  scale::ScaleRecord& record = library.records[static_cast<std::size_t>(a.number - 1)];
  if (!scale::ScaleAddress(record.KeyNumber())) {
    err << Tr("Scale %1 has no valid key number (%2).").arg(a.number).arg(record.KeyNumber())
        << Qt::endl;
    return kExitFailed;
  }
  const scale::ScaleImage image = scale::BuildScaleImage(record);
  QString why_not;
  const QString port = ResolvePort(options.port, &why_not);
  if (port.isEmpty()) {
    err << why_not << Qt::endl;
    return kExitFailed;
  }
  err << Tr("Port: ") << ForTerminal(port) << Qt::endl;
  ConsolePrompts prompts(err, false, core::ui_port::Answer::kNo);
  TerminalProgress progress(err, env.progress_bar && !options.json);
  std::unique_ptr<link::Transport> transport = env.make_transport(port);
  link::LinkState link_state;
  link::InstrumentRecord instrument;
  link::EngineState engine;
  link::ConnectFlags flags;
  link::InstrumentLink line(*transport, link_state, prompts);
  link::DriverEngine driver(line, engine, instrument, progress);
  link::Identification identification(driver, flags);

  const link::ConnectOutcome connected = identification.Connect(false, false);
  if (connected.result == link::ConnectResult::kPortUnavailable) {
    return kExitFailed;
  }
  if (connected.result == link::ConnectResult::kNotConnected) {
    err << (instrument.no_reliable_answer ? link::NoReliableAnswerText(port)
                                          : Tr("No instrument found."))
        << Qt::endl;
    return kExitFailed;
  }
  const scale::ScaleDownloadOutcome result =
      scale::DownloadScaleImage(driver, image, record.KeyNumber());
  progress.HideProgress();
  switch (result) {
    case scale::ScaleDownloadOutcome::kDone:
      break;
    case scale::ScaleDownloadOutcome::kNoInstrument:
      err << Tr("No instrument found.") << Qt::endl;
      return kExitFailed;
    case scale::ScaleDownloadOutcome::kAborted:
      err << Tr("The scale download was stopped.") << Qt::endl;
      return kExitFailed;
    case scale::ScaleDownloadOutcome::kFailed:
    case scale::ScaleDownloadOutcome::kNoAddress:
      err << Tr("The scale download did not complete: the QLX stopped answering.") << Qt::endl;
      return kExitFailed;
  }
  if (instrument.remote_capable) {
    identification.Connect(false, false);
  }
  err << Tr("Scale %1 written to %2 at 0x%3.")
             .arg(a.number)
             .arg(scale::KeyList()[record.KeyNumber()])
             .arg(QString::number(*scale::ScaleAddress(record.KeyNumber()), 16).toUpper())
      << Qt::endl;
  return kExitOk;
}

}  // namespace

int RunScaleVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                 QTextStream& err, const CliEnvironment& env) {
  if (args.isEmpty()) {
    return UsageError(err, Tr("scale needs info, image, download or preview"));
  }
  const QString sub = args.first();
  const QStringList rest = args.mid(1);
  if (sub == QStringLiteral("info")) {
    return Info(rest, options.json, out, err);
  }
  if (sub == QStringLiteral("image")) {
    return Image(rest, out, err);
  }
  if (sub == QStringLiteral("preview")) {
    return Preview(rest, err);
  }
  if (sub == QStringLiteral("download")) {
    return Download(options, rest, err, env);
  }
  return UsageError(err, Tr("unknown scale command: ") + sub);
}

}  // namespace zizara::cli
