#include "win32.h"

#include <shlwapi.h>

#include <algorithm>

#include "error.h"

namespace zol {

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool NameBefore(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder, Entries entries,
                                     const wchar_t* pattern) {
  const std::wstring all = folder + (folder.ends_with(L'\\') ? L"*" : L"\\*");
  WIN32_FIND_DATAW found;
  const UniqueFind find(OrNull(
      FindFirstFileExW(all.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0)));
  if (!find) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return {};  // an empty root
    throw Error(ErrorKind::CannotReadFolder, folder);
  }
  std::vector<std::wstring> names;
  do {
    const std::wstring name = found.cFileName;
    const DWORD attributes = found.dwFileAttributes;
    const bool keep = entries == Entries::Folders
                          ? (attributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L".."
                          : !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                            FILE_ATTRIBUTE_SYSTEM)) &&
                                PathMatchSpecW(name.c_str(), pattern);
    if (keep) names.push_back(name);
  } while (FindNextFileW(find.get(), &found));
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

}  // namespace zol
