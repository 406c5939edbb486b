#include "platform/sim/SimProfileFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace kelpo {
namespace {

const std::string_view Utf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimLeading(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

struct Entry {
  std::string Name;
  std::optional<std::string> Value;  // none for a line without "=" (a comment, for example)
};

struct Section {
  std::string Name;  // empty for the lines before the first section header
  std::vector<Entry> Entries;
};

struct Profile {
  bool Utf8Marked = false;
  std::vector<Section> Sections;

  Section* FindSection(std::string_view name) {
    name = Trim(name);
    for (Section& section : Sections) {
      if (SameName(section.Name, name)) return &section;
    }
    return nullptr;
  }
};

Entry* FindEntry(Section& section, std::string_view name) {
  name = Trim(name);
  for (Entry& entry : section.Entries) {
    if (SameName(entry.Name, name)) return &entry;
  }
  return nullptr;
}

Profile Parse(std::string_view text) {
  Profile profile;
  if (text.substr(0, Utf8Mark.size()) == Utf8Mark) {
    profile.Utf8Marked = true;
    text.remove_prefix(Utf8Mark.size());
  }
  profile.Sections.push_back(Section{});
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        profile.Sections.push_back(Section{std::string(Trim(line.substr(1, close - 1))), {}});
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      profile.Sections.back().Entries.push_back(Entry{std::string(line), std::nullopt});
    } else {
      profile.Sections.back().Entries.push_back(
          Entry{std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1)))});
    }
  }
  return profile;
}

std::string Serialize(const Profile& profile) {
  std::string text = profile.Utf8Marked ? std::string(Utf8Mark) : std::string();
  for (const Section& section : profile.Sections) {
    if (!section.Name.empty()) text += "[" + section.Name + "]\r\n";
    for (const Entry& entry : section.Entries) {
      text += entry.Name;
      if (entry.Value) text += "=" + *entry.Value;
      text += "\r\n";
    }
  }
  return text;
}

// The file's bytes; nothing when it cannot be read (missing, or a folder).
std::optional<std::string> ReadFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A value (or default) in matching quotes loses them; then at most bufferSize - 1 characters.
std::string Returned(std::string_view text, unsigned bufferSize) {
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  if (bufferSize == 0) return {};
  return std::string(text.substr(0, bufferSize - 1));
}

// The path as the file system names it: either separator, doubled ones as one.
std::string PathKey(const std::string& file) {
  std::string key;
  for (char c : file) {
    if (c == '\\') c = '/';
    if (c == '/' && !key.empty() && key.back() == '/') continue;
    key += c;
  }
  return key;
}

}  // namespace

bool SimProfileFiles::Held(const std::string& file) const {
  const std::string key = PathKey(file);
  for (const std::string& held : held_)
    if (PathKey(held) == key) return true;
  return false;
}

std::string SimProfileFiles::GetString(const std::string& file, const std::string& section, const std::string& key,
                                       const std::string& defaultText, unsigned bufferSize) {
  if (const auto bytes = Held(file) ? std::nullopt : ReadFile(file)) {
    Profile profile = Parse(*bytes);
    if (Section* found = profile.FindSection(section)) {
      if (const Entry* entry = FindEntry(*found, key); entry && entry->Value) {
        return Returned(*entry->Value, bufferSize);
      }
    }
  }
  std::string_view fallback = defaultText;
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
  return Returned(fallback, bufferSize);
}

bool SimProfileFiles::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& value) {
  ++Writes;
  if (Refusing || Held(file)) return false;

  // A file that exists but cannot be read is not overwritten with an empty profile.
  const std::optional<std::string> bytes = ReadFile(file);
  std::error_code error;
  if (!bytes && std::filesystem::exists(file, error)) return false;
  Profile profile = Parse(bytes.value_or(std::string()));
  // New names lose their leading blanks only, as Windows writes them; their
  // trailing blanks go when the file is read again.
  Section* target = profile.FindSection(section);
  if (!target) target = &profile.Sections.emplace_back(Section{std::string(TrimLeading(section)), {}});
  Entry* entry = FindEntry(*target, key);
  if (!entry) entry = &target->Entries.emplace_back(Entry{std::string(TrimLeading(key)), std::nullopt});

  // Likewise the value.
  const std::string_view newValue = TrimLeading(value);
  if (entry->Value == newValue) return true;
  entry->Value = std::string(newValue);

  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const std::string text = Serialize(profile);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace kelpo
