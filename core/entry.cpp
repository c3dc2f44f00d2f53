#include "entry.h"

#include <vector>

#include "cp932.h"
#include "error.h"
#include "settings.h"
#include "textfile.h"

namespace zol {
namespace {

constexpr std::wstring_view kEntryKey = L"SCRNSAVE.EXE=";

// The new entry line. "scr" must stand among the last characters of the line: ten when an
// entry is replaced, five when one is inserted.
std::string NewEntryLine(std::wstring_view value, size_t tested, const Path& systemIni) {
  std::wstring line = std::wstring(kEntryKey) + std::wstring(value);
  const std::wstring_view tail = std::wstring_view(line).substr(line.size() - tested);
  if (!ContainsNoCase(tail, L"scr")) line = std::wstring(kEntryKey) + std::wstring(kNoScreenSaver);
  const std::optional<std::string> bytes = EncodeCp932Strict(line);
  if (!bytes) throw Error(ErrorKind::NotRepresentable, FullPath(systemIni));
  return *bytes;
}

}  // namespace

std::optional<std::wstring> ReadCurrentEntry(const Path& systemIni) {
  for (const std::string& bytes : SplitLines(ReadFileBytes(systemIni))) {
    const std::wstring line = FromCp932(bytes);
    if (line.find(L"SCRNSAVE") == line.npos) continue;
    const std::wstring_view value = ValueAfterEquals(line);
    return ContainsNoCase(value, L"scr") ? std::wstring(value) : std::wstring(kNoScreenSaver);
  }
  return std::nullopt;
}

RewriteResult RewriteEntry(const Path& systemIni, std::wstring_view newEntryValue) {
  if (newEntryValue.find_first_of(std::wstring_view(L"\r\n\0", 3)) != newEntryValue.npos) {
    throw Error(ErrorKind::LineBreakInValue, FullPath(systemIni));
  }
  const std::vector<std::string> IniLines = SplitLines(ReadFileBytes(systemIni));
  if (IniLines.size() > kIniLineCapacity) throw Error(ErrorKind::TooManyLines, FullPath(systemIni));

  std::vector<std::string> written = IniLines;
  for (std::string& line : written) {
    if (!ContainsNoCase(FromCp932(line), L"CRNSAV")) continue;
    line = NewEntryLine(newEntryValue, 10, systemIni);
    ReplaceFileLines(systemIni, written);
    return RewriteResult::EntryReplaced;
  }

  const std::string entry = NewEntryLine(newEntryValue, 5, systemIni);
  written.clear();
  for (const std::string& line : IniLines) {
    written.push_back(line);
    if (ContainsNoCase(FromCp932(line), L"DisplayFallback")) written.push_back(entry);
  }
  if (written.size() == IniLines.size()) {
    throw Error(ErrorKind::NoPlaceForEntry, FullPath(systemIni));
  }
  ReplaceFileLines(systemIni, written);
  return RewriteResult::EntryInserted;
}

}  // namespace zol
