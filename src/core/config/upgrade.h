#pragma once

#include "core/config/configuration_image.h"

namespace zizara::core::config {

// Writes the defaults of the version-5 layout into any image-sized buffer. The trailer is not
// touched. Applying it twice gives the same image as applying it once.
void UpgradeToV5(ConfigurationImage& image);

}  // namespace zizara::core::config
