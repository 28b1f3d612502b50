#include "core/link/identification.h"

#include <QLocale>
#include <QRegularExpression>
#include <vector>

#include "core/config/model_table.h"
#include "core/i18n/tr.h"
#include "core/link/port_names.h"
#include "core/link/serial_transport.h"
#include "core/link/wait.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"
#include "core/ui_port/wait_indicator.h"

namespace zizara::core::link {

using i18n::Tr;

namespace timing {
inline constexpr int kProbeLinePolls = 30;
inline constexpr int kRestartBootMs = 1500;  // the instrument needs it to come back up
}  // namespace timing

void ParseIdentityValues(const QByteArray& text, InstrumentRecord& record) {
  static const QRegularExpression kIdentity(QStringLiteral("\\.AI(-?\\d+),(-?\\d+)"));
  auto it = kIdentity.globalMatch(QString::fromLatin1(text));
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    bool ok_k = false;
    bool ok_v = false;
    const int k = m.captured(1).toInt(&ok_k);
    const int v = m.captured(2).toInt(&ok_v);
    record.remote_capable = true;
    if (!ok_k || !ok_v || k < 1 || k == 2 || k > 17) {
      continue;
    }
    record.identity[k] = v;
    record.identity_known[k] = true;
    if (k == 1) {
      record.serial_number = v;
    } else if (k == 7) {
      record.software_version_code = v;
    }
  }
}

double ParseSoftwareVersionText(const QByteArray& memory) {
  static const QByteArray kMarker("OSTFAWERV RE");  // "SOFTWARE VER", bytes swapped per word
  const qsizetype at = memory.indexOf(kMarker);
  if (at < 0 || at + kMarker.size() + 12 > memory.size()) {
    return 1.0;
  }
  const QByteArray swapped = memory.mid(at + kMarker.size(), 12);
  QString kept;
  for (int i = 0; i + 1 < swapped.size(); i += 2) {
    for (char c : {swapped[i + 1], swapped[i]}) {
      if ((c >= '0' && c <= '9') || c == '.' || c == ',') {
        kept.append(QLatin1Char(c));
      }
    }
  }
  kept.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = QLocale::c().toDouble(kept, &ok);
  return ok ? v : 1.0;
}

bool Identification::ProbeRemote() {
  if (flags_.skip_probe_once) {
    flags_.skip_probe_once = false;
    return false;
  }
  if (flags_.command_line) {
    return false;
  }
  InstrumentLink& link = engine_.link();
  LinkState& state = link.state();
  InstrumentRecord& record = engine_.record();
  ui_port::BusyScope busy(engine_.wait_indicator());
  busy.ShowWait();
  for (int attempt = 0; attempt < 3 && !link.LineFailed(); ++attempt) {
    state.line_received = false;
    state.handshake_active = true;
    link.transport().Clear(true, true);
    state.line_buffer.clear();
    for (int i = 0; i < 3; ++i) {
      link.SendText("\r.LI" + QByteArray::number(10 * i + 1) + ",-\r");
      link.WaitForLine(timing::kProbeLinePolls);
    }
    if ((" " + state.line_buffer).contains(".AI1")) {
      ParseIdentityValues(state.line_buffer, record);
      record.remote_capable = true;
      return true;
    }
    record.remote_capable = false;
    state.line_buffer.clear();
    state.handshake_active = false;
  }
  return false;
}

double Identification::ReadSoftwareVersion() {
  ui_port::BusyScope busy(engine_.wait_indicator());
  if (flags_.command_line) {
    return 1.0;
  }
  EngineState& engine = engine_.engine();
  engine.quiet = true;
  if (!engine_.PrepareTransfer(true)) {
    return 1.0;
  }
  InstrumentRecord& record = engine_.record();
  double version = 1.0;
  if (!record.remote_capable) {
    busy.ShowWait();
    record.software_version_code = 256;
    engine.kind = TransferKind::kReading;
    engine_.progress().SetMaximum(2048);
    engine_.SetCaption(Tr("Reading Software Version."));
    std::vector<std::uint8_t> buffer(2048);
    if (engine_.ReadBlocks(Command::kReadBlock, kVersionTextAddress, 16, buffer.data()) &&
        !engine.abort) {
      version = ParseSoftwareVersionText(
          QByteArray(reinterpret_cast<const char*>(buffer.data()), 2048));
    }
    engine.kind = TransferKind::kIdle;
  }
  engine_.progress().HideProgress();
  return version;
}

ConnectOutcome Identification::Connect(bool skip_probe, bool skip_version) {
  InstrumentLink& link = engine_.link();
  InstrumentRecord& record = engine_.record();
  ui_port::Prompts& prompts = link.prompts();
  ConnectOutcome out;
  out.connected_panel = Tr("Not Connected");
  out.serial_panel = Tr("Serial No.: Unknown");
  link.BeginOperation();
  if (!link.transport().IsOpen() || link.LineFailed()) {
    QString reason;
    if (!link.OpenLink(&reason)) {
      out.result = ConnectResult::kPortUnavailable;
      out.port_error = reason;
      record.instrument_found = false;
      prompts.Error(PortUnavailableText(link.transport().Name(), reason));
      return out;
    }
  }
  engine_.engine().quiet = true;
  out.restart_enabled = true;
  software_version_ = 1.0;

  if (!engine_.PrepareTransfer(true)) {
    record.instrument_found = false;
    out.result = ConnectResult::kNotConnected;
    return out;
  }
  if (record.bios_mode) {
    out.result = ConnectResult::kBiosMode;
    out.model_supported = true;
    if (!flags_.package_from_command_line) {
      prompts.Information(Tr("The connected QLX is in BIOS mode.\rUpload is disabled."));
    }
    out.connected_panel = Tr("BIOS-mode");
    out.serial_panel = Tr("Serial No.: Unknown");
    return out;
  }
  const QString model = config::ModelName(record.model_index);
  out.result = ConnectResult::kConnected;
  out.connected_panel = model;
  out.serial_panel = Tr("Serial No.: ") + record.serial_text;
  out.upload_enabled = true;
  if (!skip_probe) {
    ProbeRemote();
  }
  if (!skip_version) {
    software_version_ = ReadSoftwareVersion();
  }
  out.software_version = software_version_;
  out.remote_enabled = record.remote_capable;
  out.download_enabled = record.instrument_found;
  if (config::ModelSupported(record.model_index)) {
    out.model_supported = true;
  } else if (!skip_probe) {
    out.result = ConnectResult::kUnsupported;
    out.model_supported = false;
    prompts.Information(Tr("The connected ") + model + Tr(" is not supported by this program.") +
                        QStringLiteral("\r") +
                        Tr("Please see helpfile for suported QLX\u00b4s."));
    out.upload_enabled = false;
    out.download_enabled = false;
    out.remote_enabled = false;
  }
  return out;
}

ConnectOutcome Identification::RestartInstrument() {
  RestartSequence();
  return Connect(false, false);
}

void Identification::RestartSequence() {
  InstrumentLink& link = engine_.link();
  LinkState& state = link.state();
  state.busy = true;
  link.SendText("0");
  // Clearing the output buffer right away would throw the "0" away before it is sent.
  link.transport().Drain();
  link.transport().Clear(true, true);
  state.line_buffer.clear();
  link.RestartQLX();
  Pause(timing::kRestartBootMs);
  state.busy = false;
}

QString PortUnavailableText(const QString& port_name, const QString& reason) {
  if (IsTcpPortName(port_name) && !reason.isEmpty()) {
    return reason;  // "Cannot reach rack3:4001: connection refused" says it all
  }
  QString text = PortProblemText(port_name, DiagnosePort(port_name));
  if (!reason.isEmpty()) {
    text += QStringLiteral("\r\r") + reason;
  }
  return text;
}

}  // namespace zizara::core::link
