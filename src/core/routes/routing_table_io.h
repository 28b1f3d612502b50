#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/config/configuration_image.h"

namespace zizara::core::routes {

// The header every routing CSV starts with; import accepts no other.
inline constexpr char kCsvHeader[] = "preset,output,output_name,input,input_name";

// One output of one preset, numbers 1-based, names without their trailing blanks. `input` is
// empty when the routing table holds a value the grid does not show (88 to 127).
struct RouteRow {
  int preset = 1;
  int output = 1;
  QString output_name;
  std::optional<int> input;
  QString input_name;
};

// The 96 rows of preset p (0..10), as the grid and the names of that preset show them.
QList<RouteRow> PresetRoutes(const config::ConfigurationImage& image, int p);
// Every preset, preset 1 first.
QList<RouteRow> AllRoutes(const config::ConfigurationImage& image);

// RFC 4180: CRLF line ends, a field quoted only when it holds a comma, a quote or a line
// break, quotes inside doubled.
QString CsvField(const QString& text);
QByteArray RoutesToCsv(const QList<RouteRow>& rows);
// The same rows as objects with the header's keys; empty input fields are null.
QJsonArray RoutesToJson(const QList<RouteRow>& rows);

// One record of a CSV file and the line it starts on (1-based).
struct CsvRecord {
  int line = 0;
  QStringList fields;
};
struct CsvParse {
  QList<CsvRecord> records;
  std::optional<int> error_line;  // an unterminated quote or text after a closing quote
  QString error;
};
// Reads RFC 4180 text; also takes bare LF line ends and a UTF-8 byte-order mark, which
// spreadsheets write. Empty lines are skipped.
CsvParse ParseCsv(const QByteArray& text);

struct RefusedRow {
  int line = 0;
  QString reason;
};
struct ImportResult {
  config::ConfigurationImage image;  // the input image with the rows applied
  QList<RefusedRow> refused;         // when not empty, `image` must not be written
  int rows = 0;                      // rows read (of the chosen preset, if one was chosen)
  int changed = 0;                   // routing elements that got a new input
  bool ok() const { return refused.isEmpty(); }
};
// Sets routings from CSV text with the header above. Only preset, output and input are read.
// Every row is checked (header, numbers and ranges, duplicates, the crosspoints the instrument
// never routes) before anything is applied; any refusal leaves the image as it was. A row that
// repeats the routing the image already holds changes nothing and is always accepted. With
// `only_preset` (0..10) rows of other presets are checked but not applied.
ImportResult ImportRoutes(const config::ConfigurationImage& image, const QByteArray& csv,
                          std::optional<int> only_preset = std::nullopt);

}  // namespace zizara::core::routes
