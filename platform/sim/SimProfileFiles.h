#pragma once
// Profile files as real files on disk, following the rules Windows' profile
// functions apply (as Wine implements them, checked by the conformance suite):
// - lines end at CR, LF or CRLF; blanks around every line, name and value are
//   trimmed on reading and blank lines are dropped when the file is written back
//   (a name or value written lose only their leading blanks until then);
// - "[name]" starts a section (the name up to the last "]", trimmed); any other
//   line is a key, named up to its first "=", or a key without value (comments);
// - section and key names match without regard to ASCII case, and only the
//   first matching section, and in it the first matching key, counts;
// - a value (or the default) in matching double or single quotes loses them;
//   trailing blanks of the default are dropped; a key without "=" reads as missing;
// - a write replaces the value in place keeping the key's spelling, appends a new
//   key at the end of its section and a new section at the end of the file, and
//   writes the whole file back with CRLF (a UTF-8 byte order mark is kept);
//   writing the value a key already holds leaves the file untouched.
// Test hooks: refusing every write (a read-only folder), a file held open
// without sharing by another process, and counting writes.

#include <set>
#include <string>

#include "platform/ProfileFiles.h"

namespace kelpo {

class SimProfileFiles : public ProfileFiles {
 public:
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;

  // While set, every write fails and leaves the file as it is.
  void RefuseWrites(bool refuse) { Refusing = refuse; }
  // While a file is held open without sharing, the profile functions cannot
  // open it: a read answers the default, a write fails and changes nothing.
  void HoldOpenWithoutSharing(const std::string& file) { held_.insert(file); }
  void Release(const std::string& file) { held_.erase(file); }
  // Calls of WriteString so far, refused ones included.
  int WriteCount() const { return Writes; }

 private:
  bool Held(const std::string& file) const;

  bool Refusing = false;
  std::set<std::string> held_;
  int Writes = 0;
};

}  // namespace kelpo
