#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/config/configuration_image.h"
#include "core/config/memory_map.h"
#include "core/config/preset_trailer.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::config {

// The one configuration the program edits: image, trailer, selected preset and its map, the
// modified flag and the current file name.
struct Configuration {
  ConfigurationImage image;
  PresetTrailer trailer;
  MemoryMap map = MemoryMap::ForPreset(0);
  bool modified = false;
  QString file_name;

  int preset() const { return map.preset; }
  // Recomputes the map and returns the debug window's address lines.
  QStringList SelectPreset(int p);
  // Back to the state at program start: zero image, fresh trailer, preset 1, unmodified.
  void Reset();
};

enum class SaveAsOutcome { kSaved, kCancelled };

// Asked before open, upload, remote control and close. True when the caller may go on.
bool CheckSaveChanges(Configuration& config, ui_port::Prompts& prompts,
                      const std::function<SaveAsOutcome()>& save_as);

}  // namespace zizara::core::config
