#include "textfile.h"

#include <algorithm>

namespace zol {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

Path TemporaryName(const Path& file, unsigned long processId, int attempt) {
  return file +
         ToPath(L"." + std::to_wstring(processId) + L"-" + std::to_wstring(attempt) + L".zol-new");
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  const char end = bytes.find('\r') == bytes.npos ? '\n' : '\r';
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t stop = std::min(bytes.find(end, start), bytes.size());
    lines.emplace_back(bytes.substr(start, stop - start));
    start = stop + 1;
    if (end == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool ContainsNoCase(std::wstring_view text, std::wstring_view word) {
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace zol
