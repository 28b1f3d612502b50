#include "core/config/configuration.h"

#include "core/i18n/tr.h"
#include "core/ui_port/prompts.h"

namespace zizara::core::config {

QStringList Configuration::SelectPreset(int p) {
  map = MemoryMap::ForPreset(p);
  return map.DebugLines();
}

void Configuration::Reset() { *this = Configuration{}; }

bool CheckSaveChanges(Configuration& config, ui_port::Prompts& prompts,
                      const std::function<SaveAsOutcome()>& save_as) {
  if (!config.modified) {
    return true;
  }
  switch (prompts.ConfirmOrCancel(i18n::Tr("Do you wish to save the changes?"))) {
    case ui_port::Answer::kYes:
      return save_as() == SaveAsOutcome::kSaved;
    case ui_port::Answer::kNo:
      return true;
    default:
      return false;
  }
}

}  // namespace zizara::core::config
