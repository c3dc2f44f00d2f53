// The rewrite of the entry, on any system.ini and any new value. The input's first byte is the
// length of the value, which follows in code page 932; the rest of the input is system.ini.
// A rewrite changes only the entry (entry.h), a refusal has one of the documented reasons and
// leaves the file as it was, and neither leaves another file in the folder.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cp932.h"
#include "entry.h"
#include "error.h"
#include "fuzz_support.h"

namespace {
using zol::fuzz::Check;
using zol::fuzz::HoldsNoCase;

// CR LF and CR end a line of system.ini; in a file with no CR at all, LF does.
std::vector<std::string_view> IniLines(std::string_view bytes) {
  const char end = bytes.find('\r') == bytes.npos ? '\n' : '\r';
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const size_t length = std::min(bytes.find(end), bytes.size());
    lines.push_back(bytes.substr(0, length));
    bytes.remove_prefix(std::min(length + 1, bytes.size()));
    if (end == '\r' && bytes.starts_with('\n')) bytes.remove_prefix(1);
  }
  return lines;
}

// The lines of a rewritten file, each of which must end in CR LF.
std::vector<std::string_view> WrittenLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const size_t length = bytes.find("\r\n");
    Check(length != bytes.npos, "every written line ends in CR LF");
    lines.push_back(bytes.substr(0, length));
    bytes.remove_prefix(length + 2);
  }
  return lines;
}

bool Holds(std::string_view line, std::wstring_view word) {
  return HoldsNoCase(zol::FromCp932(line), word);
}

// What a refusal may answer to: too many lines, no place for the entry, or a value that
// system.ini cannot hold.
bool MayRefuse(const std::vector<std::string_view>& lines, std::wstring_view value) {
  const bool place = std::any_of(lines.begin(), lines.end(), [](std::string_view line) {
    return Holds(line, L"CRNSAV") || Holds(line, L"DisplayFallback");
  });
  return lines.size() > zol::kIniLineCapacity || !place ||
         value.find_first_of(std::wstring_view(L"\r\n\0", 3)) != value.npos ||
         !zol::EncodeCp932Strict(value);
}

// The new entry line: the value given, or "（なし）" for a value that names no screen saver.
bool IsEntry(std::string_view line, std::wstring_view value) {
  const auto entry = [](std::wstring_view v) {
    return zol::EncodeCp932Strict(L"SCRNSAVE.EXE=" + std::wstring(v));
  };
  return entry(zol::kNoScreenSaver) == line || (HoldsNoCase(value, L"scr") && entry(value) == line);
}

void CheckRewrite(const std::vector<std::string_view>& before, std::string_view after,
                  std::wstring_view value, zol::RewriteResult result) {
  const std::vector<std::string_view> written = WrittenLines(after);
  const auto entry = std::find_if(before.begin(), before.end(),
                                  [](std::string_view line) { return Holds(line, L"CRNSAV"); });
  if (entry != before.end()) {
    Check(result == zol::RewriteResult::EntryReplaced, "the rewrite replaces an entry it has");
    Check(written.size() == before.size(), "a replaced entry keeps the number of lines");
    for (size_t i = 0; i < before.size(); ++i) {
      const bool isEntry = before.begin() + i == entry;
      Check(isEntry ? IsEntry(written[i], value) : written[i] == before[i],
            "the replaced entry is the new one and every other line keeps its bytes");
    }
    return;
  }
  Check(result == zol::RewriteResult::EntryInserted, "the rewrite inserts an entry it lacks");
  auto next = written.begin();
  std::optional<std::string_view> inserted;
  for (const std::string_view line : before) {
    Check(next != written.end() && *next++ == line, "every line keeps its bytes");
    if (!Holds(line, L"DisplayFallback")) continue;
    Check(next != written.end() && IsEntry(*next, value) && *next == inserted.value_or(*next),
          "the same new entry follows every DisplayFallback line");
    inserted = *next++;
  }
  Check(next == written.end(), "nothing else is written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const size_t valueLength = std::min<size_t>(static_cast<uint8_t>(input[0]), input.size() - 1);
  const std::wstring value = zol::FromCp932(input.substr(1, valueLength));
  const std::string before(input.substr(1 + valueLength));
  const std::vector<std::string_view> lines = IniLines(before);

  const std::filesystem::path systemIni = zol::fuzz::ScratchFolder() / "system.ini";
  zol::fuzz::WriteBytes(systemIni, before);
  try {
    const zol::RewriteResult result = zol::RewriteEntry(systemIni, value);
    Check(value.find_first_of(std::wstring_view(L"\r\n\0", 3)) == value.npos,
          "a value that holds CR, LF or NUL is refused");
    CheckRewrite(lines, zol::fuzz::ReadBytes(systemIni), value, result);
  } catch (const zol::Error&) {
    Check(MayRefuse(lines, value), "a refusal has a documented reason");
    Check(zol::fuzz::ReadBytes(systemIni) == before, "a refused rewrite leaves the file as it was");
  }
  Check(zol::fuzz::ScratchNames() == std::vector<std::string>{"system.ini"},
        "no other file is left in the folder");
  return 0;
}
