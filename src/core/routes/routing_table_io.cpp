#include "core/routes/routing_table_io.h"

#include <QJsonObject>
#include <QSet>

#include "core/config/memory_map.h"
#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/matrix/xpoint_cells.h"

namespace zizara::core::routes {

using i18n::Tr;
namespace cfg = config;

namespace {

constexpr int kColumns = 5;

QString Trimmed(const QByteArray& name) {
  QString text = cfg::ImageTextToString(name);
  // Blank and never-written (zero) characters at the end are padding, not part of the name.
  while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back().isNull())) {
    text.chop(1);
  }
  return text;
}

// The routed input (0-based) as the grid reads it, or nothing for 88..127.
std::optional<int> ShownInput(const cfg::ConfigurationImage& image, const cfg::MemoryMap& map,
                              int output) {
  const int input = matrix::RoutingTableInput(image, map, output);
  if (input >= matrix::kInputs) return std::nullopt;
  return input;
}

// A whole number written without signs or blanks around it; spreadsheets pad some cells.
std::optional<int> Number(const QString& field) {
  const QString text = field.trimmed();
  if (text.isEmpty() || text.size() > 4) return std::nullopt;
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  }
  return text.toInt();
}

}  // namespace

QList<RouteRow> PresetRoutes(const cfg::ConfigurationImage& image, int p) {
  const cfg::MemoryMap map = cfg::MemoryMap::ForPreset(p);
  const cfg::ChannelNames names = cfg::ChannelNamesFromImage(image, map);
  QList<RouteRow> rows;
  rows.reserve(matrix::kOutputs);
  for (int o = 0; o < matrix::kOutputs; ++o) {
    RouteRow row;
    row.preset = map.preset + 1;
    row.output = o + 1;
    row.output_name = Trimmed(names.outputs[o]);
    if (const std::optional<int> input = ShownInput(image, map, o)) {
      row.input = *input + 1;
      row.input_name = Trimmed(names.inputs[*input]);
    }
    rows.append(row);
  }
  return rows;
}

QList<RouteRow> AllRoutes(const cfg::ConfigurationImage& image) {
  QList<RouteRow> rows;
  for (int p = 0; p < cfg::kPresetCount; ++p) rows += PresetRoutes(image, p);
  return rows;
}

QString CsvField(const QString& text) {
  const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                     text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
  if (!quote) return text;
  QString doubled = text;
  doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray RoutesToCsv(const QList<RouteRow>& rows) {
  QString text = QString::fromLatin1(kCsvHeader) + QStringLiteral("\r\n");
  for (const RouteRow& r : rows) {
    text += QString::number(r.preset) + QLatin1Char(',') + QString::number(r.output) +
            QLatin1Char(',') + CsvField(r.output_name) + QLatin1Char(',') +
            (r.input ? QString::number(*r.input) : QString()) + QLatin1Char(',') +
            CsvField(r.input_name) + QStringLiteral("\r\n");
  }
  return text.toUtf8();
}

QJsonArray RoutesToJson(const QList<RouteRow>& rows) {
  QJsonArray list;
  for (const RouteRow& r : rows) {
    list.append(QJsonObject{
        {QStringLiteral("preset"), r.preset},
        {QStringLiteral("output"), r.output},
        {QStringLiteral("output_name"), r.output_name},
        {QStringLiteral("input"), r.input ? QJsonValue(*r.input) : QJsonValue()},
        {QStringLiteral("input_name"), r.input ? QJsonValue(r.input_name) : QJsonValue()},
    });
  }
  return list;
}

CsvParse ParseCsv(const QByteArray& bytes) {
  QString text = QString::fromUtf8(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  CsvParse result;
  int line = 1;
  int i = 0;
  const int n = static_cast<int>(text.size());
  while (i < n) {
    CsvRecord record;
    record.line = line;
    QString field;
    bool end_of_record = false;
    bool any = false;  // the record has at least one character, so it is not an empty line
    while (i < n && !end_of_record) {
      const QChar c = text[i];
      if (c == QLatin1Char('"') && field.isEmpty()) {
        any = true;
        ++i;
        bool closed = false;
        while (i < n) {
          const QChar q = text[i];
          if (q == QLatin1Char('"')) {
            if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
              field += QLatin1Char('"');
              i += 2;
              continue;
            }
            ++i;
            closed = true;
            break;
          }
          if (q == QLatin1Char('\n')) ++line;
          field += q;
          ++i;
        }
        if (!closed) {
          result.error_line = record.line;
          result.error = Tr("a quoted field is not closed");
          return result;
        }
        if (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r') &&
            text[i] != QLatin1Char('\n')) {
          result.error_line = line;
          result.error = Tr("text follows a closing quote");
          return result;
        }
        continue;
      }
      if (c == QLatin1Char(',')) {
        any = true;
        record.fields << field;
        field.clear();
        ++i;
      } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
        i += (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ? 2 : 1;
        ++line;
        end_of_record = true;
      } else {
        any = true;
        field += c;
        ++i;
      }
    }
    if (any) {
      record.fields << field;
      result.records.append(record);
    }
  }
  return result;
}

ImportResult ImportRoutes(const cfg::ConfigurationImage& image, const QByteArray& csv,
                          std::optional<int> only_preset) {
  ImportResult result;
  result.image = image;
  const CsvParse parse = ParseCsv(csv);
  if (parse.error_line) {
    result.refused.append({*parse.error_line, parse.error});
    return result;
  }
  if (parse.records.isEmpty()) {
    result.refused.append(
        {1, Tr("the file is empty; the first line must be ") + QString::fromLatin1(kCsvHeader)});
    return result;
  }
  const CsvRecord& header = parse.records.first();
  if (header.fields.join(QLatin1Char(',')).trimmed() != QString::fromLatin1(kCsvHeader)) {
    result.refused.append(
        {header.line, Tr("the first line must be ") + QString::fromLatin1(kCsvHeader)});
    return result;
  }

  struct Change {
    int preset;
    int output;
    int input;
  };
  QList<Change> changes;
  QHash<int, int> seen;  // preset * 100 + output -> line
  for (qsizetype r = 1; r < parse.records.size(); ++r) {
    const CsvRecord& rec = parse.records[r];
    const auto refuse = [&](const QString& why) { result.refused.append({rec.line, why}); };
    if (rec.fields.size() != kColumns) {
      refuse(Tr("%1 fields where 5 are expected").arg(rec.fields.size()));
      continue;
    }
    const std::optional<int> preset = Number(rec.fields[0]);
    if (!preset || *preset < 1 || *preset > cfg::kPresetCount) {
      refuse(Tr("preset \"%1\" is not a number from 1 to 11").arg(rec.fields[0]));
      continue;
    }
    const std::optional<int> output = Number(rec.fields[1]);
    if (!output || *output < 1 || *output > matrix::kOutputs) {
      refuse(Tr("output \"%1\" is not a number from 1 to 96").arg(rec.fields[1]));
      continue;
    }
    const cfg::MemoryMap map = cfg::MemoryMap::ForPreset(*preset - 1);
    const std::optional<int> current = ShownInput(image, map, *output - 1);
    const QString where = Tr("output %1 of preset %2").arg(*output).arg(*preset);
    const int key = *preset * 100 + *output;
    if (seen.contains(key)) {
      refuse(where + Tr(" is already given on line %1").arg(seen.value(key)));
      continue;
    }
    seen.insert(key, rec.line);
    std::optional<int> input;
    if (!rec.fields[3].trimmed().isEmpty()) {
      input = Number(rec.fields[3]);
      if (!input || *input < 1 || *input > matrix::kInputs) {
        refuse(Tr("input \"%1\" is not a number from 1 to 88").arg(rec.fields[3]));
        continue;
      }
    }
    const bool applies = !only_preset || *only_preset == *preset - 1;
    if (applies) ++result.rows;
    if (!input) {
      // An export leaves the input empty only where the table holds a value the grid does not
      // show; there is no way to route an output to nothing.
      if (current) {
        refuse(where + Tr(" has no input; every output is routed to an input from 1 to 88"));
      }
      continue;
    }
    if (current && *current == *input - 1) continue;  // unchanged: nothing is written
    if (matrix::IsIllegalXPoint(*input - 1, *output - 1)) {
      refuse(Tr("input %1 can never be routed to ").arg(*input) + where);
      continue;
    }
    if (applies) changes.append({*preset - 1, *output - 1, *input - 1});
  }
  if (!result.refused.isEmpty()) return result;
  for (const Change& c : changes) {
    const cfg::MemoryMap map = cfg::MemoryMap::ForPreset(c.preset);
    result.image.SetArrayElement(map.RoutingTable, c.output, static_cast<std::uint8_t>(c.input));
  }
  result.changed = static_cast<int>(changes.size());
  return result;
}

}  // namespace zizara::core::routes
