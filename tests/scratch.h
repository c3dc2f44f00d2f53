// A scratch folder of the test's own, removed afterwards, and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "error.h"

namespace zol::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& file);
void SetReadOnly(const std::filesystem::path& file, bool readOnly);

// Code page 932 bytes of a text that the code page holds.
std::string Cp932(std::wstring_view text);

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
