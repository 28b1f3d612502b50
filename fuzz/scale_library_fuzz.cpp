// Loads a scale library from arbitrary bytes and builds every scale's image and preview,
// painting it as the window does. Inputs of another size are refused, then repeated to the
// library's size so that every input also yields 20 records.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "core/scale/number_field.h"
#include "core/scale/scale_image.h"
#include "core/scale/scale_library.h"
#include "core/scale/scale_preview.h"
#include "gui/common/scale_preview_painter.h"

// The font library keeps its caches until the process ends; the application is never torn
// down here, so its allocations are not leaks of the code under test.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {
void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "scale_library_fuzz";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);  // lives for the whole run
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace scale = zizara::core::scale;
  EnsureGuiApplication();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  scale::ScaleLibrary library;
  const QByteArray before = library.Serialize();
  if (!library.Parse(bytes)) {
    if (bytes.size() == scale::kLibrarySize || library.Serialize() != before) {
      std::abort();  // a refused file must leave the library untouched
    }
    if (bytes.isEmpty()) {
      return 0;
    }
    QByteArray filled;
    while (filled.size() < scale::kLibrarySize) {
      filled += bytes;
    }
    filled.truncate(scale::kLibrarySize);
    if (!library.Parse(filled)) {
      std::abort();
    }
  } else if (library.Serialize() != bytes) {
    std::abort();  // what loads must save back byte for byte
  }
  for (scale::ScaleRecord& record : library.records) {
    (void)scale::ReadNumberField(QString::fromLatin1(record.Description()));
    (void)record.Note();
    const scale::ScaleImage image = scale::BuildScaleImage(record);
    if (scale::ImageBytes(image).size() != scale::kImageBytes) {
      std::abort();
    }
    for (int n = 0; n < scale::kLineCount; ++n) {
      if (record.LineLabel(n).size() > scale::kLabelCapacity) {
        std::abort();
      }
    }
    const scale::PreviewDrawing drawing = scale::LayOutPreview(image);
    if (drawing.labels.size() > static_cast<std::size_t>(scale::kImageWords)) {
      std::abort();
    }
    (void)zizara::gui::common::RenderScalePreview(image);
  }
  return 0;
}
