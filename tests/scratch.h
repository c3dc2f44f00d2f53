// A scratch folder of the test's own, removed afterwards, and whole-file helpers.
#pragma once

#include <filesystem>
#include <string>

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

// This process's id, which names the temporary files of its saves.
unsigned long ProcessId();

// Code page 932 bytes of a text that the code page holds.
std::string Cp932(std::wstring_view text);

}  // namespace zol::test
