#pragma once

#include <QString>

#include "core/config/configuration.h"
#include "core/link/identification.h"
#include "core/link/link_state.h"

namespace zizara::gui::help {
class Help;
}

namespace zizara::gui::app {

// The process-wide records, owned in one place and passed to the windows; tests make fresh
// ones.
struct AppContext {
  core::config::Configuration config;
  core::link::LinkState link_state;
  core::link::InstrumentRecord instrument;
  core::link::EngineState engine;
  core::link::ConnectFlags connect_flags;
  core::link::LinkMode link_mode = core::link::LinkMode::kNone;

  bool advanced_mode = false;
  bool port_unavailable = false;
  bool connected = false;            // remote control active
  bool instrument_detected = false;
  bool model_supported = true;
  bool bios_mode = false;
  bool macro_running = false;
  bool debug_mode = false;
  bool mouse_pad_item_shown = false;  // the about window's debug switch was applied
  bool closing = false;
  bool simulated = false;            // the instrument is the built-in simulator

  QString current_port;
  QString ext_cmd;
  QString pending_macro;
  QString pending_package;
  QString help_file;
  help::Help* help = nullptr;  // the manual; none in tests that do not set one
};

}  // namespace zizara::gui::app
