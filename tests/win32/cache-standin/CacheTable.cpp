#include "tests/win32/cache-standin/CacheTable.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

namespace kelpo::standin {
namespace {

constexpr const char* TableHeader = "kelpo-cache-standin-table 1";

constexpr const char* KindNames[] = {"FindFirst",      "FindNext",      "FindClose", "Delete",
                                     "FindFirstGroup", "FindNextGroup", "GetGroup",  "SetGroup"};

std::string Escape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\0':
        escaped += "\\0";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

bool Unescape(const std::string& field, std::string& text) {
  text.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      text += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\':
        text += '\\';
        break;
      case 't':
        text += '\t';
        break;
      case 'n':
        text += '\n';
        break;
      case 'r':
        text += '\r';
        break;
      case '0':
        text += '\0';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

template <typename Number>
bool ParseNumber(const std::string& field, Number& value, int base = 10) {
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value, base);
  return error == std::errc() && stop == end && !field.empty();
}

std::string Hex(std::uint32_t value) {
  char text[16];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, 16);
  return std::string(text, end);
}

// A text that may be absent: "-" for none, "=" followed by the text otherwise.
std::string Optional(const std::optional<std::string>& text) {
  return text ? "=" + Escape(*text) : "-";
}

bool ParseOptional(const std::string& field, std::optional<std::string>& text) {
  if (field == "-") {
    text.reset();
    return true;
  }
  std::string value;
  if (field.empty() || field[0] != '=' || !Unescape(field.substr(1), value)) return false;
  text = value;
  return true;
}

std::string FormatEntry(const TableEntry& e) {
  return "entry\t" + Escape(e.SourceUrlName) + '\t' + Escape(e.LocalFileName) + '\t' + Escape(e.HeaderInfo) + '\t' +
         Escape(e.FileExtension) + '\t' + Hex(e.CacheEntryType) + '\t' + std::to_string(e.UseCount) + '\t' +
         std::to_string(e.HitRate) + '\t' + std::to_string(e.Size) + '\t' + std::to_string(e.LastModifiedTime) + '\t' +
         std::to_string(e.ExpireTime) + '\t' + std::to_string(e.LastAccessTime) + '\t' +
         std::to_string(e.LastSyncTime) + '\t' + std::to_string(e.ExemptDelta) + '\t' +
         std::to_string(e.GrowAfterSizeQuery);
}

bool ParseEntry(const std::vector<std::string>& f, TableEntry& e) {
  return f.size() == 16 && f[0] == "entry" && Unescape(f[1], e.SourceUrlName) && Unescape(f[2], e.LocalFileName) &&
         Unescape(f[3], e.HeaderInfo) && Unescape(f[4], e.FileExtension) && ParseNumber(f[5], e.CacheEntryType, 16) &&
         ParseNumber(f[6], e.UseCount) && ParseNumber(f[7], e.HitRate) && ParseNumber(f[8], e.Size) &&
         ParseNumber(f[9], e.LastModifiedTime) && ParseNumber(f[10], e.ExpireTime) &&
         ParseNumber(f[11], e.LastAccessTime) && ParseNumber(f[12], e.LastSyncTime) &&
         ParseNumber(f[13], e.ExemptDelta) && ParseNumber(f[14], e.GrowAfterSizeQuery) && f[15] == "end";
}

}  // namespace

bool WriteTable(const std::string& path, const Table& table) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << TableHeader << '\n' << "log\t" << (table.Log ? "on" : "off") << '\n';
  for (const TableEntry& entry : table.Entries) out << FormatEntry(entry) << "\tend\n";
  out.close();
  return !out.fail();
}

bool ReadTable(const std::string& path, Table& table) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!std::getline(in, line) || line != TableHeader) return false;
  table = Table{};
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line);
    if (fields.size() == 2 && fields[0] == "log" && (fields[1] == "on" || fields[1] == "off")) {
      table.Log = fields[1] == "on";
    } else if (TableEntry entry; ParseEntry(fields, entry)) {
      table.Entries.push_back(std::move(entry));
    } else {
      return false;
    }
  }
  return in.eof();
}

std::string FormatCall(const Call& call) {
  return std::string(KindNames[static_cast<int>(call.Kind)]) + '\t' + std::to_string(call.Error) + '\t' +
         std::to_string(call.Handle) + '\t' + Optional(call.Pattern) + '\t' + Hex(call.Filter) + '\t' +
         std::to_string(call.Group) + '\t' + (call.Buffer ? std::to_string(*call.Buffer) : "-") + '\t' +
         std::to_string(call.Size) + '\t' + Escape(call.Url);
}

bool ParseCall(const std::string& line, Call& call) {
  const std::vector<std::string> f = Split(line);
  if (f.size() != 9) return false;
  call = Call{};
  const auto kind = std::find(std::begin(KindNames), std::end(KindNames), f[0]);
  if (kind == std::end(KindNames)) return false;
  call.Kind = static_cast<CallKind>(kind - std::begin(KindNames));
  std::uint32_t buffer = 0;
  if (f[6] == "-")
    call.Buffer.reset();
  else if (ParseNumber(f[6], buffer))
    call.Buffer = buffer;
  else
    return false;
  return ParseNumber(f[1], call.Error) && ParseNumber(f[2], call.Handle) && ParseOptional(f[3], call.Pattern) &&
         ParseNumber(f[4], call.Filter, 16) && ParseNumber(f[5], call.Group) && ParseNumber(f[7], call.Size) &&
         Unescape(f[8], call.Url);
}

bool ReadLog(const std::string& path, std::vector<Call>& calls) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  calls.clear();
  std::string line;
  while (std::getline(in, line)) {
    if (!ParseCall(line, calls.emplace_back())) return false;
  }
  return in.eof();
}

}  // namespace kelpo::standin
