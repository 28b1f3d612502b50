#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "core/link/link_state.h"
#include "core/remote/remote_state.h"

namespace zizara::core::link {
class ConfigurationTransfers;
class Identification;
class InstrumentLink;
}  // namespace zizara::core::link

namespace zizara::core::remote {

namespace timing {
inline constexpr int kXPointReplyPolls = 100;  // of 10 ms each, per ".LA" query
}  // namespace timing

enum class StartResult {
  kProbeFailed,  // no remote-capable instrument answered; nothing changed
  kAborted,      // the user closed the transfer window during the partial reads
  kStarted,      // connected; the preset query is on its way
};

// ".LA" + first + ",-" + CR: the routings of outputs first..first+9.
QByteArray ListRoutingCommand(int first);

// The steps of starting remote control that need no window. The caller asks about unsaved
// changes and disables the main window before, and hides the matrix in `after_probe`.
class RemoteSession {
 public:
  RemoteSession(link::Identification& identification, link::ConfigurationTransfers& transfers,
                link::InstrumentLink& link, link::EngineState& engine, RemoteState& remote)
      : identification_(identification),
        transfers_(transfers),
        link_(link),
        engine_(engine),
        remote_(remote) {}

  // `StartRemoteControl`: the probe, unless quiet the reads of the text block, input names
  // and preset names, then ".LP9,-". The instrument's preset reply continues the connection.
  StartResult Start(bool quiet, const QString& model_text,
                    const std::function<void()>& after_probe = {});

  // `ReadRemoteXPoints`: ten ".LA" queries, each waiting for its reply line, which the line
  // receiver passes to the interpreter; the routings count as set by this program.
  void ReadRemoteXPoints(const std::function<void(int)>& progress = {});

 private:
  link::Identification& identification_;
  link::ConfigurationTransfers& transfers_;
  link::InstrumentLink& link_;
  link::EngineState& engine_;
  RemoteState& remote_;
};

}  // namespace zizara::core::remote
