#include "scratch.h"

#include <fstream>
#include <iterator>
#include <random>

#include "cp932.h"

namespace zol::test {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
    : path_(fs::temp_directory_path() / ("zol-test-" + std::to_string(std::random_device()()))) {
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(path_, error)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
  }
  fs::remove_all(path_, error);
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(out << bytes) << file;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SetReadOnly(const fs::path& file, bool readOnly) {
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

std::string Cp932(std::wstring_view text) { return EncodeCp932Strict(text).value(); }

}  // namespace zol::test
