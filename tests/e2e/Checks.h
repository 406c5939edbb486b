#pragma once
// Records the outcome of every end-to-end check and prints one line for each:
// "PASS name" or "FAIL name: detail", and at the end "N passed, N failed".

#include <string>

namespace kelpo::e2e {

class Checks {
 public:
  // Records `ok` under `name`; `detail` is printed only on failure. Returns `ok`.
  bool Check(bool ok, const std::string& name, const std::string& detail = {});
  // Passes when `actual` equals `expected`; the failure shows both, escaped.
  bool Equal(const std::string& name, const std::string& actual, const std::string& expected);
  bool Equal(const std::string& name, long long actual, long long expected);
  void Fail(const std::string& name, const std::string& detail) { Check(false, name, detail); }

  // Prefixes the names of the following checks, e.g. "fresh-start/".
  void SetScope(const std::string& scope) { scope_ = scope; }

  int Passed() const { return passed_; }
  int Failed() const { return failed_; }
  void PrintSummary() const;

 private:
  std::string scope_;
  int passed_ = 0;
  int failed_ = 0;
};

// `text` in double quotes, with control characters and non-ASCII bytes as escapes.
std::string Quote(const std::string& text);

}  // namespace kelpo::e2e
