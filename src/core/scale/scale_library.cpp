#include "core/scale/scale_library.h"

#include <QFileInfo>
#include <algorithm>

#include "core/i18n/tr.h"
#include "core/io/file_access.h"

namespace zizara::core::scale {

using i18n::Tr;
namespace ro = record_offsets;

namespace {

constexpr std::array<Dynamics, 14> kDynamics = {{
    {"IEC 268-10 Type I", 0x600, 0, 0},
    {"IEC 268-10 Type IIA and IIB", 0x601, 0, 0},
    {"DIN 45XXX", 0x602, 752, 126},
    {"IEC 268-17 VU", 0x603, 32767, 767},
    {"SONY DMU1630 60 dB", 0x604, 0, 0},
    {"SONY DMU1630  6 dB", 0x605, 0, 0},
    {"DIGTAL TRUE PEAK", 0x606, 0, 0},
    {"DIN 45XXX DIGITAL", 0x607, 752, 126},
    {"LOGITEC ULTRA-VU", 0x608, 0, 0},
    {"DORROUGH MODEL 40", 0xA09, 0, 0},
    {"DORROUGH LOUDNESS", 0x60A, 0, 0},
    {"LEQM", 0x60B, 0, 0},
    {"CNN VU", 0x60C, 752, 126},
    {"CNN PEAK", 0x60D, 0, 0},
}};

constexpr std::array<std::uint32_t, 10> kScaleAddresses = {
    0x1C500, 0x1C600, 0x1C700, 0x1C800, 0x1C900, 0x1CA00, 0x1CB00, 0x1CC00, 0x1DA00, 0x1DB00};

bool ValidLine(int line) { return line >= 0 && line < kLineCount; }

}  // namespace

const std::array<Dynamics, 14>& DynamicsList() { return kDynamics; }

QStringList KeyList() {
  return {QStringLiteral("Key 1"),  QStringLiteral("Key 2"), QStringLiteral("Key 3"),
          QStringLiteral("Key 4"),  QStringLiteral("Key 5"), QStringLiteral("Key 6"),
          QStringLiteral("Key 7"),  QStringLiteral("Leq"),   QStringLiteral("1630 I"),
          QStringLiteral("1630 II")};
}

QStringList StyleList() {
  return {Tr("None"),          Tr("Solid White"), Tr("Dashed White"),
          Tr("Solid Red"),     Tr("Dashed Red"),  Tr("Solid Yellow"),
          Tr("Dashed Yellow"), Tr("UnderLoad"),   Tr("Overload")};
}

QStringList DynamicsTexts() {
  QStringList texts;
  for (const Dynamics& d : kDynamics) {
    texts << QString::fromLatin1(d.text);
  }
  return texts;
}

std::optional<std::uint32_t> ScaleAddress(int key_number) {
  if (key_number < 0 || key_number >= static_cast<int>(kScaleAddresses.size())) {
    return std::nullopt;
  }
  return kScaleAddresses[static_cast<std::size_t>(key_number)];
}

QByteArray ScaleRecord::ReadString(int offset, int capacity) const {
  const int length = std::min<int>(bytes_[static_cast<std::size_t>(offset)], capacity);
  return QByteArray(reinterpret_cast<const char*>(bytes_.data() + offset + 1), length);
}

void ScaleRecord::WriteString(int offset, int capacity, const QByteArray& text) {
  const int length = std::min<int>(static_cast<int>(text.size()), capacity);
  bytes_[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(length);
  std::copy_n(text.constData(), length, bytes_.begin() + offset + 1);
}

double ScaleRecord::ReadReal(int offset) const {
  Real48 r;
  std::copy_n(bytes_.begin() + offset, r.size(), r.begin());
  return FromReal48(r);
}

void ScaleRecord::WriteReal(int offset, double value) {
  const Real48 r = ToReal48(value);
  std::copy(r.begin(), r.end(), bytes_.begin() + offset);
}

QByteArray ScaleRecord::ShortName() const { return ReadString(ro::kShortName, kShortNameCapacity); }

void ScaleRecord::SetShortName(const QByteArray& name) {
  WriteString(ro::kShortName, kShortNameCapacity, QByteArray(kShortNameCapacity, ' '));
  WriteString(ro::kShortName, kShortNameCapacity, name);
}

std::array<std::uint8_t, 4> ScaleRecord::ShortNameBytes() const {
  return {bytes_[1], bytes_[2], bytes_[3], bytes_[4]};
}

void ScaleRecord::SetKeyNumber(int position) {
  bytes_[ro::kKeyNumber] = static_cast<std::uint8_t>(position);
}

QByteArray ScaleRecord::Description() const {
  return ReadString(ro::kDescription, kDescriptionCapacity);
}

void ScaleRecord::SetDescription(const QByteArray& text) {
  WriteString(ro::kDescription, kDescriptionCapacity, text);
}

void ScaleRecord::SetDigital(bool digital) { bytes_[ro::kDigitalFlag] = digital ? 0 : 1; }

void ScaleRecord::SetDynamicsPosition(int position) {
  bytes_[ro::kDynamics] = static_cast<std::uint8_t>(position);
}

double ScaleRecord::Reference() const { return ReadReal(ro::kReference); }

void ScaleRecord::SetReference(double db) { WriteReal(ro::kReference, db); }

double ScaleRecord::LineLevel(int line) const {
  return ValidLine(line) ? ReadReal(LineOffset(line) + ro::kLineLevel) : 0.0;
}

void ScaleRecord::SetLineLevel(int line, double db) {
  if (ValidLine(line)) {
    WriteReal(LineOffset(line) + ro::kLineLevel, db);
  }
}

QByteArray ScaleRecord::LineLabel(int line) const {
  return ValidLine(line) ? ReadString(LineOffset(line) + ro::kLineLabel, kLabelCapacity)
                         : QByteArray();
}

void ScaleRecord::SetLineLabel(int line, const QByteArray& label) {
  if (ValidLine(line)) {
    WriteString(LineOffset(line) + ro::kLineLabel, kLabelCapacity, label);
  }
}

int ScaleRecord::LineStyle(int line) const {
  return ValidLine(line) ? bytes_[static_cast<std::size_t>(LineOffset(line) + ro::kLineStyle)] : 0;
}

void ScaleRecord::SetLineStyle(int line, int style) {
  if (ValidLine(line)) {
    bytes_[static_cast<std::size_t>(LineOffset(line) + ro::kLineStyle)] =
        static_cast<std::uint8_t>(style);
  }
}

QByteArray ScaleRecord::Note() const {
  const auto begin = bytes_.begin() + ro::kNote;
  const auto end = std::find(begin, bytes_.end(), std::uint8_t{0});
  return QByteArray(reinterpret_cast<const char*>(&*begin), static_cast<int>(end - begin));
}

void ScaleRecord::SetNote(const QByteArray& text) {
  std::fill(bytes_.begin() + ro::kNote, bytes_.end(), std::uint8_t{0});
  std::copy_n(text.constData(), std::min<int>(static_cast<int>(text.size()), kNoteCapacity),
              bytes_.begin() + ro::kNote);
}

bool ScaleLibrary::Parse(const QByteArray& bytes) {
  if (bytes.size() != kLibrarySize) {
    return false;
  }
  for (int r = 0; r < kScaleCount; ++r) {
    std::copy_n(bytes.constData() + r * kRecordSize, kRecordSize,
                records[static_cast<std::size_t>(r)].bytes().begin());
  }
  return true;
}

QByteArray ScaleLibrary::Serialize() const {
  QByteArray out;
  out.reserve(kLibrarySize);
  for (const ScaleRecord& r : records) {
    out.append(reinterpret_cast<const char*>(r.bytes().data()), kRecordSize);
  }
  return out;
}

QString NotAScaleLibraryText(const QString& name) {
  return Tr("The file ") + name + Tr(" is NOT a valid Scale Library");
}

bool LoadScaleLibrary(const QString& name, ScaleLibrary& library, QString* error) {
  const io::ReadResult read = io::ReadFileOfSize(name, kLibrarySize);
  QString why;
  if (read.failure == io::ReadFailure::kWrongSize) {
    why = NotAScaleLibraryText(name);
  } else if (!read.ok()) {
    why = read.error;
  } else if (!library.Parse(read.data)) {  // it changed size between the check and the read
    why = NotAScaleLibraryText(name);
  }
  if (error != nullptr) {
    *error = why;
  }
  return why.isEmpty();
}

bool SaveScaleLibrary(const QString& name, const ScaleLibrary& library, QString* error) {
  return io::SaveFileAtomically(name, library.Serialize(), error);
}

QString ScaleFileNameForSave(const QString& chosen) {
  if (chosen.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive)) {
    return chosen;
  }
  const QFileInfo info(chosen);
  const QString suffix = info.suffix();
  const QString base = suffix.isEmpty() || info.fileName() == QLatin1Char('.') + suffix
                           ? chosen
                           : chosen.left(chosen.size() - suffix.size() - 1);
  return base + QStringLiteral(".dat");
}

}  // namespace zizara::core::scale
