#pragma once

#include <QString>
#include <QStringList>

#include "core/config/configuration_image.h"

namespace zizara::core::options {

enum class AssignOutcome {
  kApplied,
  kRefused,       // unknown key or a value the window would not take
  kNotInVersion,  // the configuration's software version has no such setting
};

struct AssignResult {
  AssignOutcome outcome = AssignOutcome::kApplied;
  QString message;  // why it was refused, naming the key and what is allowed
};

// Applies one "KEY=VALUE" to preset p (0..10) the way the setting's window would on OK, with
// the window's own checks. The image is changed only when the result is kApplied.
AssignResult ApplyAssignment(config::ConfigurationImage& image, int version, int p,
                             const QString& assignment);

// The keys `ApplyAssignment` knows, C standing for a PPM channel or range, K for a preset.
QStringList AssignmentKeys();

}  // namespace zizara::core::options
