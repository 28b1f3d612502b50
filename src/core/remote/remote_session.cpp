#include "core/remote/remote_session.h"

#include "core/link/identification.h"
#include "core/link/instrument_link.h"
#include "core/link/transfers.h"

namespace zizara::core::remote {

QByteArray ListRoutingCommand(int first) { return ".LA" + QByteArray::number(first) + ",-\r"; }

StartResult RemoteSession::Start(bool quiet, const QString& model_text,
                                 const std::function<void()>& after_probe) {
  engine_.abort = false;
  remote_.connected = false;
  if (!identification_.ProbeRemote()) {
    return StartResult::kProbeFailed;
  }
  if (after_probe) {
    after_probe();
  }
  if (!quiet) {
    // Each read clears the abort flag as it starts, so look after every one of them.
    const std::function<bool(link::ConfigurationTransfers&)> reads[] = {
        [&](link::ConfigurationTransfers& t) { return t.ReadTextBlock(model_text); },
        [&](link::ConfigurationTransfers& t) { return t.ReadInputNames(model_text); },
        [&](link::ConfigurationTransfers& t) { return t.ReadPresetNames(model_text); },
    };
    for (const auto& read : reads) {
      read(transfers_);
      if (engine_.abort) {
        engine_.abort = false;
        link_.state().handshake_active = false;
        return StartResult::kAborted;
      }
    }
  }
  remote_.connected = true;
  remote_.reload_pending = false;
  link_.SendText("\r");
  link_.state().handshake_active = false;
  link_.SendText("\r");
  link_.SendText(".LP9,-\r");
  return StartResult::kStarted;
}

void RemoteSession::ReadRemoteXPoints(const std::function<void(int)>& progress) {
  link::LinkState& state = link_.state();
  state.line_buffer.clear();
  state.handshake_active = false;
  for (int a = 0; a < 10; ++a) {
    remote_.origin_remote = true;
    link_.SendText(ListRoutingCommand(10 * a + 1));
    state.line_received = false;
    link_.WaitForLine(timing::kXPointReplyPolls);
    if (progress) {
      progress(a);
    }
  }
}

}  // namespace zizara::core::remote
