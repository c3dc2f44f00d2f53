#include "textfile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "error.h"

namespace zol {
namespace fs = std::filesystem;

std::string ReadFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::error_code error;
    const bool exists = fs::exists(file, error);
    throw Error(exists ? ErrorKind::AccessDenied : ErrorKind::FileNotFound, file.wstring());
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw Error(ErrorKind::AccessDenied, file.wstring());
  return bytes;
}

void ReplaceFileLines(const fs::path& file, const std::vector<std::string>& lines) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  const bool exists = fs::exists(status);
  if (exists && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    throw Error(ErrorKind::AccessDenied, file.wstring());
  }
  fs::path temporary = file;
  temporary += L".zol-new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw Error(ErrorKind::AccessDenied, file.wstring());
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    if (!out) {
      fs::remove(temporary, error);
      throw Error(ErrorKind::WriteFailed, file.wstring());
    }
  }
  if (exists) fs::permissions(temporary, status.permissions(), error);
  fs::rename(temporary, file, error);
  if (error) {
    fs::remove(temporary, error);
    throw Error(ErrorKind::AccessDenied, file.wstring());
  }
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = std::min(bytes.find('\r', start), bytes.size());
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool ContainsNoCase(std::wstring_view text, std::wstring_view word) {
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace zol
