#pragma once

#include <QString>

namespace zizara::core::remote {

// The live connection as the dot-message interpreter sees it.
struct RemoteState {
  bool connected = false;
  // The mark the next reported routing gets: true = set by this program.
  bool origin_remote = false;
  // A reload of the X-points was accepted and has not started yet.
  bool reload_pending = false;
};

// What a running (or pending) macro shares with the interpreter and the menus.
struct MacroState {
  bool running = false;         // runs, or waits for the connection to complete
  bool stop_requested = false;  // cleared when a macro starts
  bool reply_seen = false;      // the current line was confirmed, or waiting is pointless
  bool window_visible = false;  // the macro window shows "Executing: ..." lines
  bool pending = false;         // run once the instrument's X-points have been read
  QString pending_file;
};

}  // namespace zizara::core::remote
