#include "core/scale/scale_editing.h"

#include "core/i18n/tr.h"

namespace zizara::core::scale {

namespace {
constexpr int kNotePiece = 128;
}  // namespace

QString NoteToMemoText(const QByteArray& note) {
  QStringList lines;
  for (int at = 0; at < note.size(); at += kNotePiece) {
    QByteArray piece = note.mid(at, kNotePiece);
    if (piece.endsWith('\n')) {
      piece.chop(2);
    }
    QString text = QString::fromLatin1(piece);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines << text;
  }
  return lines.join(QLatin1Char('\n'));
}

QByteArray MemoTextToNote(const QString& memo) {
  if (memo.isEmpty()) {
    return {};
  }
  QByteArray note;
  for (const QString& line : memo.split(QLatin1Char('\n'))) {
    note += line.toLatin1() + "\r\n";
  }
  return note.left(kNoteCapacity);
}

std::vector<int> ResetSecondMarkers(std::array<int, kLineCount>& styles) {
  std::vector<int> reset;
  bool overload = false;
  bool underload = false;
  for (int row = 0; row < kLineCount; ++row) {
    int& style = styles[static_cast<std::size_t>(row)];
    bool* seen = style == kStyleOverload    ? &overload
                 : style == kStyleUnderLoad ? &underload
                                            : nullptr;
    if (seen == nullptr) {
      continue;
    }
    if (*seen) {
      style = 0;
      reset.push_back(row);
    }
    *seen = true;
  }
  return reset;
}

QString OneMarkerText() {
  return i18n::Tr("There can only be one Overload Marker and one Underload Marker");
}

QString ScaleEntryText(int number, const QString& short_name) {
  return i18n::Tr("Scale #") + QString::number(number) + QStringLiteral(" - ") + short_name;
}

}  // namespace zizara::core::scale
