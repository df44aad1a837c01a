#include "assessment/assessment_output.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/calendar.h"
#include "files/csv_fields.h"

namespace slm {

namespace {

bool Missing(const Cell& cell) { return std::holds_alternative<std::monostate>(cell.value); }

std::string ValueText(const Column& column, const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell.value)) return *text;
  if (const auto* number = std::get_if<double>(&cell.value)) return OneDecimal(*number);
  if (const auto* whole = std::get_if<std::int64_t>(&cell.value)) {
    switch (column.format) {
      case Format::kTime:
        return ClockText(*whole);
      case Format::kDate:
        return DateText(*whole);
      case Format::kOneDecimal:
        return OneDecimal(static_cast<double>(*whole));
      default:
        return std::to_string(*whole);
    }
  }
  return {};
}

// ---- JSON -----------------------------------------------------------------

std::string JsonValue(const Column& column, const Cell& cell) {
  if (Missing(cell)) return "null";
  const std::string text = ValueText(column, cell);
  switch (column.format) {
    case Format::kOneDecimal:
    case Format::kWhole:
      return text;
    default:
      return JsonString(text);
  }
}

// An object built from values at dotted paths, members in the order they
// first came.
struct JsonNode {
  std::string key;
  std::string value;  // a leaf's JSON text
  std::vector<JsonNode> members;

  void Put(std::string_view path, std::string text) {
    const std::size_t dot = path.find('.');
    const std::string_view head = path.substr(0, dot);
    auto it = std::find_if(members.begin(), members.end(),
                           [head](const JsonNode& m) { return m.key == head; });
    if (it == members.end()) {
      members.push_back({std::string(head), {}, {}});
      it = members.end() - 1;
    }
    if (dot == std::string_view::npos) {
      it->value = std::move(text);
    } else {
      it->Put(path.substr(dot + 1), std::move(text));
    }
  }

  // {"key": value, ...} on one line; `separator` between members.
  void Write(std::string& out, std::string_view separator = ", ") const {
    out += '{';
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (i > 0) out += separator;
      out += JsonString(members[i].key);
      out += ": ";
      if (members[i].members.empty()) {
        out += members[i].value;
      } else {
        members[i].Write(out);
      }
    }
    out += '}';
  }
};

JsonNode JsonRow(const FigureTable& table, const std::vector<Cell>& row) {
  JsonNode node;
  for (std::size_t c = 0; c < table.columns.size() && c < row.size(); ++c) {
    const Column& column = table.columns[c];
    node.Put(column.JsonPath(), JsonValue(column, row[c]));
    if (!row[c].flag.empty()) node.Put(column.JsonPath() + "_flag", JsonString(row[c].flag));
  }
  return node;
}

std::string JsonArray(const FigureTable& table) {
  if (table.rows.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    out += "    ";
    JsonRow(table, table.rows[i]).Write(out);
    out += i + 1 < table.rows.size() ? ",\n" : "\n";
  }
  return out + "  ]";
}

// ---- text -----------------------------------------------------------------

void TextTable(std::string& out, const FigureTable& table) {
  out += "\n" + table.title + "\n";
  if (table.rows.empty()) {
    out += "none\n";
    return;
  }
  const std::size_t columns = table.columns.size();
  std::vector<std::vector<std::string>> lines;
  std::vector<std::size_t> widths(columns, 0);
  std::vector<std::string> head;
  for (const Column& column : table.columns) head.push_back(HeaderText(column));
  lines.push_back(std::move(head));
  for (const std::vector<Cell>& row : table.rows) {
    std::vector<std::string> cells;
    for (std::size_t c = 0; c < columns; ++c) cells.push_back(ShownText(table.columns[c], row[c]));
    lines.push_back(std::move(cells));
  }
  for (const std::vector<std::string>& line : lines) {
    for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], line[c].size());
  }
  for (const std::vector<std::string>& line : lines) {
    std::string text;
    for (std::size_t c = 0; c < columns; ++c) {
      if (c > 0) text += "  ";
      const std::size_t pad = widths[c] - line[c].size();
      const bool right = IsFigure(table.columns[c]);
      if (right) text.append(pad, ' ');
      text += line[c];
      if (!right && c + 1 < columns) text.append(pad, ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + "\n";
  }
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte > 0x7e) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string OneDecimal(std::optional<double> value) {
  if (!value) return {};
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::fixed, 1);
  std::string text(buffer, result.ptr);
  return text == "-0.0" ? "0.0" : text;
}

std::string CellText(const Column& column, const Cell& cell) {
  std::string text = ValueText(column, cell);
  if (!cell.flag.empty()) text += (text.empty() ? "" : " ") + cell.flag;
  return text;
}

std::string ShownText(const Column& column, const Cell& cell) {
  if (Missing(cell) && cell.flag.empty()) return column.missing;
  return CellText(column, cell);
}

bool IsFigure(const Column& column) { return column.format != Format::kText; }

std::string HeaderText(const Column& column) {
  return column.unit.empty() ? column.caption : column.caption + " (" + column.unit + ")";
}

std::string TableCsv(const FigureTable& table) {
  // A column with a flag in any row is followed by one of its flags, so that
  // its own values stay numbers for a program that reads them.
  std::vector<bool> flagged(table.columns.size(), false);
  for (const std::vector<Cell>& row : table.rows) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      flagged[c] = flagged[c] || !row[c].flag.empty();
    }
  }
  std::string out;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out += ',';
    AppendField(out, table.columns[c].key, ',', c == 0);
    if (flagged[c]) {
      out += ',';
      AppendField(out, table.columns[c].key + "_flag", ',', false);
    }
  }
  out += "\r\n";
  for (const std::vector<Cell>& row : table.rows) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (c > 0) out += ',';
      AppendField(out, ValueText(table.columns[c], row[c]), ',', c == 0);
      if (flagged[c]) {
        out += ',';
        AppendField(out, row[c].flag, ',', false);
      }
    }
    out += "\r\n";
  }
  return out;
}

std::string AssessmentText(const AssessmentTables& tables) {
  std::string out;
  TextTable(out, ByFigure(tables.totals));
  out.erase(0, 1);  // no blank line before the first table
  if (!tables.calibration.rows.empty()) TextTable(out, ByFigure(tables.calibration));
  TextTable(out, tables.intervals);
  TextTable(out, tables.days);
  TextTable(out, tables.months);
  TextTable(out, tables.years);
  if (tables.events_assessed) TextTable(out, tables.events);
  if (!tables.exclusions.rows.empty()) TextTable(out, tables.exclusions);
  if (!tables.notes.empty()) {
    out += "\nNotes\n";
    for (const std::string& note : tables.notes) out += "- " + note + "\n";
  }
  return out;
}

std::string AssessmentJson(const AssessmentTables& tables) {
  JsonNode document;
  if (!tables.totals.rows.empty()) document = JsonRow(tables.totals, tables.totals.rows[0]);
  if (!tables.events_assessed) document.Put("above", "null");
  if (tables.calibration.rows.empty()) {
    document.Put("calibration", "null");
  } else {
    const JsonNode calibration = JsonRow(tables.calibration, tables.calibration.rows[0]);
    document.members.insert(document.members.end(), calibration.members.begin(),
                            calibration.members.end());
  }
  for (const FigureTable* table : {&tables.intervals, &tables.days, &tables.months, &tables.years,
                                   &tables.events, &tables.exclusions}) {
    document.Put(table->key,
                 table == &tables.events && !tables.events_assessed ? "null" : JsonArray(*table));
  }
  std::string notes = "[";
  for (std::size_t i = 0; i < tables.notes.size(); ++i) {
    notes += (i == 0 ? "\n    " : ",\n    ") + JsonString(tables.notes[i]);
  }
  document.Put("notes", notes + (tables.notes.empty() ? "]" : "\n  ]"));
  std::string out;
  document.Write(out, ",\n  ");
  out.pop_back();  // the closing brace goes on a line of its own
  out.insert(1, "\n  ");
  return out + "\n}\n";
}

}  // namespace slm
