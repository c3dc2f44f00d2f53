// A scratch folder of the test's own, removed afterwards, and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "cp932.h"
#include "error.h"

namespace zol::test {

class ScratchFolder {
 public:
  ScratchFolder() { std::filesystem::create_directories(path_); }
  ~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                ("zol-test-" + std::to_string(std::random_device()()));
};

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  ASSERT_TRUE(std::ofstream(file, std::ios::binary) << bytes) << file;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Code page 932 bytes of a text that the code page holds.
inline std::string Cp932(std::wstring_view text) { return EncodeCp932Strict(text).value(); }

// The ten lines of zol.ini as text.
struct ZolLines {
  std::wstring systemIniDrive, systemIniDir, favouriteDrive, favouriteDir;
  std::wstring panelDriveLine, panelDirLine, favouriteName, alternateName, top, left;
};

// The bytes of a zol.ini with these lines, in code page 932.
inline std::string ZolIniBytes(const ZolLines& lines) {
  const std::wstring text[] = {
      L"System.iniのあるドライブ =" + lines.systemIniDrive,
      L"system.iniのあるディレクトリ=" + lines.systemIniDir,
      L"お気に入りのスクリーンセイバーのあるドライブ =" + lines.favouriteDrive,
      L"お気に入りのスクリーンセイバーのあるディレクトリ=" + lines.favouriteDir,
      lines.panelDriveLine,
      lines.panelDirLine,
      L"お気に入りのスクリーンセイバー名 =" + lines.favouriteName,
      L"代替えのスクリーンセイバー名 =" + lines.alternateName,
      lines.top,
      lines.left};
  std::string bytes;
  for (const std::wstring& line : text) bytes += Cp932(line) + "\r\n";
  return bytes;
}

// The error that the call throws; a failure of the test when it throws none.
template <class Call>
Error ErrorOf(Call call) {
  try {
    call();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error";
  return Error(ErrorKind::Unexpected, L"");
}

}  // namespace zol::test
