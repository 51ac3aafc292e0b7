#include "settings/RegExportFormat.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
// Bytes per line of a hex list before it continues on the next line.
constexpr std::size_t kHexBytesPerLine = 24;

bool IsPrintableAscii(unsigned char c) { return c >= 0x20 && c <= 0x7E; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return lower(x) == lower(y);
  });
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

bool IsPlainText(const CRegValue& value) {
  if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) return false;
  return std::all_of(value.data.begin(), value.data.end() - 1, IsPrintableAscii);
}

std::string FormatData(const CRegValue& value) {
  char word[32];
  if (IsPlainText(value)) {
    return Quoted(
        std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
  }
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                      (static_cast<std::uint32_t>(value.data[3]) << 24);
    std::snprintf(word, sizeof word, "dword:%08x", static_cast<unsigned>(v));
    return word;
  }
  std::string out;
  if (value.type == kRegBinary) {
    out = "hex:";
  } else {
    std::snprintf(word, sizeof word, "hex(%x):", static_cast<unsigned>(value.type));
    out = word;
  }
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(word, sizeof word, "%02x", value.data[i]);
    out += word;
    if (i + 1 < value.data.size()) {
      out += ',';
      if ((i + 1) % kHexBytesPerLine == 0) out += "\\\n  ";
    }
  }
  return out;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the
// closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\') {
      if (++pos >= text.size() || (text[pos] != '\\' && text[pos] != '"')) return std::nullopt;
      c = text[pos];
    } else if (static_cast<unsigned char>(c) < 0x20) {
      return std::nullopt;
    }
    out += c;
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::vector<unsigned char>> ParseHexList(std::string_view list) {
  std::vector<unsigned char> bytes;
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t')) ++pos;
  };
  skipBlanks();
  if (pos == list.size()) return bytes;
  for (;;) {
    skipBlanks();
    if (pos + 2 > list.size()) return std::nullopt;
    int high = HexDigit(list[pos]), low = HexDigit(list[pos + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    pos += 2;
    skipBlanks();
    if (pos == list.size()) return bytes;
    if (list[pos++] != ',') return std::nullopt;
  }
}

std::optional<CRegValue> ParseData(std::string_view data) {
  CRegValue value;
  if (!data.empty() && data.front() == '"') {
    std::size_t pos = 0;
    auto text = ReadQuoted(data, pos);
    if (!text || pos != data.size()) return std::nullopt;
    value.type = kRegSz;
    value.data.assign(text->begin(), text->end());
    value.data.push_back(0);
    return value;
  }
  if (data.starts_with("dword:")) {
    std::string_view digits = data.substr(6);
    if (digits.size() != 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<unsigned char>(v >> (8 * i)));
    return value;
  }
  std::string_view list;
  if (data.starts_with("hex:")) {
    value.type = kRegBinary;
    list = data.substr(4);
  } else if (data.starts_with("hex(")) {
    std::size_t close = data.find("):");
    if (close == std::string_view::npos || close == 4 || close > 12) return std::nullopt;
    std::uint32_t type = 0;
    for (char c : data.substr(4, close - 4)) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      type = type * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = type;
    list = data.substr(close + 2);
  } else {
    return std::nullopt;
  }
  auto bytes = ParseHexList(list);
  if (!bytes) return std::nullopt;
  value.data = std::move(*bytes);
  return value;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A value's name as a report quotes it: @ for the default value, at most
// 40 characters, anything outside printable ASCII shown as '?'.
std::string NameForReport(std::string_view name) {
  if (name.empty()) return "@";
  constexpr std::size_t kLimit = 40;
  std::string shown;
  for (char c : name.substr(0, kLimit)) {
    shown += IsPrintableAscii(static_cast<unsigned char>(c)) ? c : '?';
  }
  if (name.size() > kLimit) shown += "...";
  return Quoted(shown);
}

}  // namespace

std::optional<std::string> NormaliseKeyPath(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  std::string out;
  bool atComponentStart = true;
  for (char c : path) {
    auto u = static_cast<unsigned char>(c);
    if (!IsPrintableAscii(u) || c == '[' || c == ']') return std::nullopt;
    if (c == '\\' && atComponentStart) return std::nullopt;
    atComponentStart = c == '\\';
    out += c;
  }
  return out;
}

bool IsStorableValueName(std::string_view name) {
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return IsPrintableAscii(static_cast<unsigned char>(c)); });
}

const CRegKey* CRegHive::FindKey(std::string_view path) const {
  for (const CRegKey& key : keys_) {
    if (SameIgnoringCase(key.path, path)) return &key;
  }
  return nullptr;
}

const CRegValue* CRegHive::FindValue(std::string_view path, std::string_view name) const {
  const CRegKey* key = FindKey(path);
  if (key == nullptr) return nullptr;
  for (const CRegValue& value : key->values) {
    if (SameIgnoringCase(value.name, name)) return &value;
  }
  return nullptr;
}

CRegKey& CRegHive::CreateKey(std::string_view path) {
  for (CRegKey& key : keys_) {
    if (SameIgnoringCase(key.path, path)) return key;
  }
  keys_.push_back(CRegKey{std::string(path), {}});
  return keys_.back();
}

void CRegHive::SetValue(std::string_view path, CRegValue value) {
  CRegKey& key = CreateKey(path);
  for (CRegValue& existing : key.values) {
    if (SameIgnoringCase(existing.name, value.name)) {
      existing.type = value.type;
      existing.data = std::move(value.data);
      return;
    }
  }
  key.values.push_back(std::move(value));
}

std::string FormatRegExport(const CRegHive& hive) {
  std::string out(kHeader);
  out += "\n\n";
  for (const CRegKey& key : hive.Keys()) {
    out += "[" + key.path + "]\n";
    for (const CRegValue& value : key.values) {
      out += value.name.empty() ? "@" : Quoted(value.name);
      out += "=" + FormatData(value) + "\n";
    }
    out += "\n";
  }
  return out;
}

std::optional<CRegHive> ParseRegExport(std::string_view text, CRegParseError* error) {
  auto fail = [error](std::size_t line, std::string what) -> std::optional<CRegHive> {
    if (error != nullptr) *error = CRegParseError{line, std::move(what)};
    return std::nullopt;
  };
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || lines[0] != kHeader) {
    return fail(1, "the first line is not \"" + std::string(kHeader) + "\"");
  }

  CRegHive hive;
  std::optional<std::string> currentKey;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t lineNumber = i + 1;
    std::string_view line = lines[i];
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return fail(lineNumber, "a key line without its closing bracket");
      currentKey = NormaliseKeyPath(line.substr(1, line.size() - 2));
      if (!currentKey || currentKey->empty()) return fail(lineNumber, "not a key path");
      // A key without values still exists.
      hive.CreateKey(*currentKey);
      continue;
    }
    if (!currentKey) return fail(lineNumber, "a value before the first [key] line");

    // A hex list may continue over several lines, each ending in a backslash.
    std::string joined(line);
    while (!joined.empty() && joined.back() == '\\') {
      joined.pop_back();
      if (++i >= lines.size()) {
        return fail(lineNumber, "a value continued past the end of the file");
      }
      std::string_view next = lines[i];
      while (!next.empty() && (next.front() == ' ' || next.front() == '\t')) next.remove_prefix(1);
      joined += next;
    }

    std::size_t pos = 0;
    std::string name;
    if (!joined.empty() && joined.front() == '@') {
      pos = 1;
    } else {
      auto quoted = ReadQuoted(joined, pos);
      if (!quoted) return fail(lineNumber, "not a \"name\"=value line");
      name = std::move(*quoted);
    }
    if (pos >= joined.size() || joined[pos] != '=') {
      return fail(lineNumber, "not a \"name\"=value line");
    }
    auto value = ParseData(std::string_view(joined).substr(pos + 1));
    if (!value) return fail(lineNumber, "the value " + NameForReport(name) + " is not well formed");
    value->name = std::move(name);
    hive.SetValue(*currentKey, std::move(*value));
  }
  return hive;
}
