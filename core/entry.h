// The "SCRNSAVE.EXE=" entry of system.ini: reading it at start-up and rewriting it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "error.h"
#include "textfile.h"

namespace zol {

// What the configurator shows for an entry that names no screen-saver file.
inline constexpr std::wstring_view kNoScreenSaver = L"（なし）";
// The file that the quick switcher names for no screen saver, in the favourite's folder; it need
// not exist.
inline constexpr std::wstring_view kNoScreenSaverFile = L"（なし）.scr";
// The files that are screen savers.
inline constexpr const wchar_t* kScreenSaverPattern = L"*.scr";

// The screen saver that system.ini names now: the value of the first line holding "SCRNSAVE"
// (capitals only), or "（なし）" when that value holds no "scr" in any letter case. Nothing when
// no line holds it.
std::optional<std::wstring> ReadCurrentEntry(const Path& systemIni);
// The same, of the bytes of system.ini.
std::optional<std::wstring> CurrentEntry(std::string_view systemIni);

enum class RewriteResult { EntryReplaced, EntryInserted };

// How many lines of system.ini a rewrite holds.
inline constexpr size_t kIniLineCapacity = 1000;

// A rewrite of system.ini, decided on its bytes before anything is written.
struct RewritePlan {
  RewriteResult result = RewriteResult::EntryReplaced;
  // Why the file cannot take the value, and the line concerned (from 1; 0 for none). The bytes and
  // the value are then empty.
  std::optional<ErrorKind> refusal;
  size_t line = 0;
  // The new file, and what follows "SCRNSAVE.EXE=" in it.
  std::string bytes;
  std::wstring value;
};

// Makes "SCRNSAVE.EXE=" followed by the value the entry of system.ini: in place of the first line
// holding "CRNSAV" in any letter case, or, when there is none, after every line holding
// "DisplayFallback" in any letter case. A value that does not end in a screen-saver file name
// writes "SCRNSAVE.EXE=（なし）": "scr" must stand among the last characters of the new line, ten
// when an entry is replaced, five when one is inserted. Every other line keeps its bytes and ends
// in CR LF. Refused when the file holds more than 1000 lines, when it has no place for the entry,
// when the value holds CR, LF or NUL (which would add lines), or when the new line holds a
// character that code page 932 cannot.
RewritePlan PlanRewrite(std::string_view systemIni, std::wstring_view newEntryValue);

// Whether a value written after "SCRNSAVE.EXE=" names no screen saver: "（なし）", or a path whose
// file name is "（なし）.scr", which is how the quick switcher writes none.
bool NamesNoScreenSaver(std::wstring_view writtenValue);

}  // namespace zol
