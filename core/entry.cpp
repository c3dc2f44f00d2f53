#include "entry.h"

#include <algorithm>
#include <vector>

#include "cp932.h"
#include "error.h"
#include "settings.h"
#include "textfile.h"

namespace zol {
namespace {

constexpr std::wstring_view kEntryKey = L"SCRNSAVE.EXE=";

RewritePlan Refused(ErrorKind kind, size_t line = 0) {
  RewritePlan plan;
  plan.refusal = kind;
  plan.line = line;
  return plan;
}

// The value, or "（なし）" when "scr" does not stand among the last characters of the new line.
std::wstring ValueWritten(std::wstring_view newEntryValue, RewriteResult result) {
  const size_t tested = result == RewriteResult::EntryReplaced ? 10 : 5;
  const std::wstring line = std::wstring(kEntryKey) + std::wstring(newEntryValue);
  const bool named = ContainsNoCase(std::wstring_view(line).substr(line.size() - tested), L"scr");
  return std::wstring(named ? newEntryValue : kNoScreenSaver);
}

}  // namespace

std::optional<std::wstring> ReadCurrentEntry(const Path& systemIni) {
  return CurrentEntry(ReadFileBytes(systemIni));
}

std::optional<std::wstring> CurrentEntry(std::string_view systemIni) {
  for (const std::string& bytes : SplitLines(systemIni)) {
    const std::wstring line = FromCp932(bytes);
    if (line.find(L"SCRNSAVE") == line.npos) continue;
    const std::wstring_view value = ValueAfterEquals(line);
    return ContainsNoCase(value, L"scr") ? std::wstring(value) : std::wstring(kNoScreenSaver);
  }
  return std::nullopt;
}

RewritePlan PlanRewrite(std::string_view systemIni, std::wstring_view newEntryValue) {
  if (newEntryValue.find_first_of(std::wstring_view(L"\r\n\0", 3)) != newEntryValue.npos) {
    return Refused(ErrorKind::LineBreakInValue);
  }
  const std::vector<std::string> lines = SplitLines(systemIni);
  if (lines.size() > kIniLineCapacity)
    return Refused(ErrorKind::TooManyLines, kIniLineCapacity + 1);
  const auto holds = [](const std::string& line, std::wstring_view word) {
    return ContainsNoCase(FromCp932(line), word);
  };
  // The entry's line, or the end when there is none.
  const size_t entry =
      std::find_if(lines.begin(), lines.end(),
                   [&](const std::string& line) { return holds(line, L"CRNSAV"); }) -
      lines.begin();
  RewritePlan plan;
  plan.result = entry < lines.size() ? RewriteResult::EntryReplaced : RewriteResult::EntryInserted;
  plan.value = ValueWritten(newEntryValue, plan.result);
  const std::optional<std::string> entryLine =
      EncodeCp932Strict(std::wstring(kEntryKey) + plan.value);

  std::vector<std::string> written;
  size_t placed = 0;  // the new entry's first line
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i != entry) written.push_back(lines[i]);
    if (i == entry || (entry == lines.size() && holds(lines[i], L"DisplayFallback"))) {
      written.push_back(entryLine.value_or(""));
      if (!placed) placed = written.size();
    }
  }
  if (!placed) return Refused(ErrorKind::NoPlaceForEntry);
  if (!entryLine) return Refused(ErrorKind::NotRepresentable, placed);
  plan.bytes = JoinLines(written);
  return plan;
}

bool NamesNoScreenSaver(std::wstring_view writtenValue) {
  const std::wstring_view fileName = writtenValue.substr(writtenValue.find_last_of(L"\\:") + 1);
  return writtenValue == kNoScreenSaver || fileName == kNoScreenSaverFile;
}

}  // namespace zol
