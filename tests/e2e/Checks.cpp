#include "Checks.h"

#include <cstdio>

namespace kelpo::e2e {

bool Checks::Check(bool ok, const std::string& name, const std::string& detail) {
  const std::string full = scope_ + name;
  if (ok) {
    ++passed_;
    std::printf("PASS %s\n", full.c_str());
  } else {
    ++failed_;
    std::printf("FAIL %s: %s\n", full.c_str(), detail.empty() ? "check failed" : detail.c_str());
  }
  std::fflush(stdout);
  return ok;
}

bool Checks::Equal(const std::string& name, const std::string& actual, const std::string& expected) {
  return Check(actual == expected, name, "got " + Quote(actual) + ", expected " + Quote(expected));
}

bool Checks::Equal(const std::string& name, long long actual, long long expected) {
  return Check(actual == expected, name, "got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

void Checks::PrintSummary() const {
  std::printf("%d passed, %d failed\n", passed_, failed_);
  std::fflush(stdout);
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof(hex), "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace kelpo::e2e
