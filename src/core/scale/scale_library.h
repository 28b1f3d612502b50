#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "core/scale/real48.h"

namespace zizara::core::ui_port {
class Prompts;
}

namespace zizara::core::scale {

inline constexpr int kScaleCount = 20;
inline constexpr int kRecordSize = 2453;
inline constexpr int kLibrarySize = kScaleCount * kRecordSize;  // 49060
inline constexpr int kLineCount = 28;
inline constexpr int kShortNameCapacity = 4;
inline constexpr int kDescriptionCapacity = 26;
inline constexpr int kLabelCapacity = 4;
inline constexpr int kNoteCapacity = 2048;
inline constexpr int kStyleCount = 9;  // "None" .. "Overload"
inline constexpr int kStyleUnderLoad = 7;
inline constexpr int kStyleOverload = 8;

// Record layout.
namespace record_offsets {
inline constexpr int kShortName = 0;
inline constexpr int kKeyNumber = 5;
inline constexpr int kDescription = 6;
inline constexpr int kDigitalFlag = 33;
inline constexpr int kDynamics = 34;
inline constexpr int kReference = 35;
inline constexpr int kLines = 41;
inline constexpr int kLineSize = 13;
inline constexpr int kNote = 405;
// Inside a line entry.
inline constexpr int kLineLevel = 0;
inline constexpr int kLineLabel = 6;
inline constexpr int kLineStyle = 11;
}  // namespace record_offsets

struct Dynamics {
  const char* text;
  std::uint16_t code_word;
  std::uint16_t a;
  std::uint16_t b;
};

// The dynamics list, by position.
const std::array<Dynamics, 14>& DynamicsList();
// "Key 1" .. "Key 7", "Leq", "1630 I", "1630 II".
QStringList KeyList();
// "None" .. "Overload".
QStringList StyleList();
QStringList DynamicsTexts();
// Where the instrument keeps the scale of a key number; nullopt for a position off the list.
std::optional<std::uint32_t> ScaleAddress(int key_number);

// One scale record as its 2453 bytes. The bytes are kept as loaded; the accessors clamp what
// they read to each field's capacity, so untrusted lengths never reach outside a field.
class ScaleRecord {
 public:
  ScaleRecord() { bytes_.fill(0); }

  QByteArray ShortName() const;  // at most 4 bytes
  // Pre-fills the field with length 4 and four blanks, then writes at most 4 bytes over it.
  void SetShortName(const QByteArray& name);
  // The four bytes after the length byte, as stored (what the image sends).
  std::array<std::uint8_t, 4> ShortNameBytes() const;

  int KeyNumber() const { return bytes_[record_offsets::kKeyNumber]; }
  void SetKeyNumber(int position);
  QByteArray Description() const;  // at most 26 bytes
  void SetDescription(const QByteArray& text);
  int DigitalFlag() const { return bytes_[record_offsets::kDigitalFlag]; }
  bool IsDigital() const { return DigitalFlag() == 0; }
  void SetDigital(bool digital);
  int DynamicsPosition() const { return bytes_[record_offsets::kDynamics]; }
  void SetDynamicsPosition(int position);
  double Reference() const;
  void SetReference(double db);

  // Lines 0..27.
  double LineLevel(int line) const;
  void SetLineLevel(int line, double db);
  QByteArray LineLabel(int line) const;  // at most 4 bytes
  void SetLineLabel(int line, const QByteArray& label);
  int LineStyle(int line) const;  // the stored byte, which may be off the list
  void SetLineStyle(int line, int style);

  // Up to the first zero byte, or all 2048 bytes of a note without one.
  QByteArray Note() const;
  // Zeroes the field and copies in at most 2048 bytes.
  void SetNote(const QByteArray& text);

  const std::array<std::uint8_t, kRecordSize>& bytes() const { return bytes_; }
  std::array<std::uint8_t, kRecordSize>& bytes() { return bytes_; }

 private:
  QByteArray ReadString(int offset, int capacity) const;
  void WriteString(int offset, int capacity, const QByteArray& text);
  double ReadReal(int offset) const;
  void WriteReal(int offset, double value);
  static int LineOffset(int line) {
    return record_offsets::kLines + record_offsets::kLineSize * line;
  }

  std::array<std::uint8_t, kRecordSize> bytes_;
};

struct ScaleLibrary {
  std::array<ScaleRecord, kScaleCount> records;

  // 20 records from exactly 49060 bytes; false (library untouched) for any other size.
  bool Parse(const QByteArray& bytes);
  QByteArray Serialize() const;
};

// "The file " + name + " is NOT a valid Scale Library"
QString NotAScaleLibraryText(const QString& name);

// Reads a library file. A file of another size (also a missing one, a folder or a device)
// leaves `library` as it was and says why in `error`: the wrong-size message for anything that
// is a file of the wrong size, the reader's message otherwise.
bool LoadScaleLibrary(const QString& name, ScaleLibrary& library, QString* error);
// Writes the 20 records atomically; a target that is not a regular file is refused.
bool SaveScaleLibrary(const QString& name, const ScaleLibrary& library, QString* error);

// Appends ".dat" unless the name already ends in .dat in any case.
QString ScaleFileNameForSave(const QString& chosen);

}  // namespace zizara::core::scale
