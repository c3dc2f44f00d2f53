#include "entry.h"

#include <vector>

#include "cp932.h"
#include "error.h"
#include "settings.h"
#include "textfile.h"

namespace zol {
namespace {

constexpr std::wstring_view kEntryKey = L"SCRNSAVE.EXE=";

std::string NewEntryLine(std::wstring_view value, RewriteResult result, const Path& systemIni) {
  const std::optional<std::string> bytes =
      EncodeCp932Strict(std::wstring(kEntryKey) + WrittenEntryValue(value, result));
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

RewriteResult RewriteEntry(const Path& systemIni, std::wstring_view newEntryValue,
                           const std::function<void(std::wstring_view written)>& approve) {
  if (newEntryValue.find_first_of(std::wstring_view(L"\r\n\0", 3)) != newEntryValue.npos) {
    throw Error(ErrorKind::LineBreakInValue, FullPath(systemIni));
  }
  const std::vector<std::string> iniLines = SplitLines(ReadFileBytes(systemIni));
  if (iniLines.size() > kIniLineCapacity) throw Error(ErrorKind::TooManyLines, FullPath(systemIni));

  std::vector<std::string> written = iniLines;
  // The last step of either way: the approval, then the file.
  const auto write = [&](RewriteResult result) {
    if (approve) approve(WrittenEntryValue(newEntryValue, result));
    ReplaceFileLines(systemIni, written);
    return result;
  };
  for (std::string& line : written) {
    if (!ContainsNoCase(FromCp932(line), L"CRNSAV")) continue;
    line = NewEntryLine(newEntryValue, RewriteResult::EntryReplaced, systemIni);
    return write(RewriteResult::EntryReplaced);
  }

  const std::string entry = NewEntryLine(newEntryValue, RewriteResult::EntryInserted, systemIni);
  written.clear();
  for (const std::string& line : iniLines) {
    written.push_back(line);
    if (ContainsNoCase(FromCp932(line), L"DisplayFallback")) written.push_back(entry);
  }
  if (written.size() == iniLines.size()) {
    throw Error(ErrorKind::NoPlaceForEntry, FullPath(systemIni));
  }
  return write(RewriteResult::EntryInserted);
}

std::wstring WrittenEntryValue(std::wstring_view newEntryValue, RewriteResult result) {
  const size_t tested = result == RewriteResult::EntryReplaced ? 10 : 5;
  const std::wstring line = std::wstring(kEntryKey) + std::wstring(newEntryValue);
  const bool named = ContainsNoCase(std::wstring_view(line).substr(line.size() - tested), L"scr");
  return std::wstring(named ? newEntryValue : kNoScreenSaver);
}

bool NamesNoScreenSaver(std::wstring_view writtenValue) {
  const std::wstring_view fileName = writtenValue.substr(writtenValue.find_last_of(L"\\:") + 1);
  return writtenValue == kNoScreenSaver || fileName == kNoScreenSaverFile;
}

}  // namespace zol
