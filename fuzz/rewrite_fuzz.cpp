// The entry of system.ini, read and planned for a rewrite, on any file and any new value. The
// input's first byte is the length of the value, which follows in code page 932; the rest is
// system.ini. A read gives nothing, "（なし）" or a value holding "scr". A plan changes only the
// entry (entry.h) and ends every line in CR LF, or is refused for one of the documented reasons.
#include <sstream>

#include "cp932.h"
#include "entry.h"
#include "fuzz_support.h"

// Whether the text holds the word, given in capitals, in any case of its ASCII letters: a folding
// of the target's own, so that a fault in the core's shows.
bool Holds(std::wstring text, std::wstring_view word) {
  for (wchar_t& c : text) c = L'a' <= c && c <= L'z' ? c - L'a' + L'A' : c;
  return text.find(word) != text.npos;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::wstring value = zol::FromCp932(input.substr(0, data[0]));
  const std::string before(input.substr(std::min<size_t>(data[0], input.size())));

  // CR LF and CR end a line of system.ini; in a file with no CR at all, LF does. A rewrite puts
  // the entry ("\r" here) in place of the first CRNSAV line or, with none, after every
  // DisplayFallback line.
  const char end = before.find('\r') == before.npos ? '\n' : '\r';
  std::istringstream in(before);
  std::vector<std::string> replaced, inserted;
  bool found = false;
  for (std::string line; getline(in, line, end); end == '\r' && in.peek() == '\n' && in.get()) {
    const std::wstring text = zol::FromCp932(line);
    replaced.push_back(!found && (found = Holds(text, L"CRNSAV")) ? "\r" : line);
    inserted.push_back(line);
    if (Holds(text, L"DISPLAYFALLBACK")) inserted.push_back("\r");
  }
  // A rewrite needs a value of one line, at most 1000 lines and a place for the entry.
  const bool fits = value.find_first_of(std::wstring_view(L"\r\n\0", 3)) == value.npos &&
                    replaced.size() <= zol::kIniLineCapacity &&
                    (found || inserted.size() > replaced.size());

  const std::optional<std::wstring> entry = zol::CurrentEntry(before);
  Check(!entry || *entry == zol::kNoScreenSaver || Holds(*entry, L"SCR"),
        "the entry read names a screen saver or is \"（なし）\"");

  const zol::RewritePlan plan = zol::PlanRewrite(before, value);
  if (plan.refusal) {
    Check(!fits || !zol::EncodeCp932Strict(value), "a refusal has a documented reason");
    return 0;
  }
  Check(fits && (plan.result == zol::RewriteResult::EntryReplaced) == found,
        "a rewrite fits, and replaces an entry it has or inserts one");
  // The file with that entry line, and every line ended by CR LF.
  const auto expected = [&](const std::string& entry) {
    std::string file;
    for (auto& line : found ? replaced : inserted) file += (line == "\r" ? entry : line) + "\r\n";
    return file;
  };
  // "SCRNSAVE.EXE=（なし）" in code page 932, or the value given when it holds "scr".
  const std::optional<std::string> given = zol::EncodeCp932Strict(L"SCRNSAVE.EXE=" + value);
  Check(
      (plan.value == zol::kNoScreenSaver &&
       plan.bytes == expected("SCRNSAVE.EXE=\x81i\x82\xc8\x82\xb5\x81j")) ||
          (plan.value == value && Holds(value, L"SCR") && given && plan.bytes == expected(*given)),
      "only the entry changes, and each line ends in CR LF");
  return 0;
}
