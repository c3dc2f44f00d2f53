#include "fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace zol::fuzz {
namespace fs = std::filesystem;
namespace {

class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "zol-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror(pattern.c_str());
      std::abort();
    }
    path_ = pattern;
  }
  ~Folder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

const fs::path& ScratchFolder() {
  static const Folder folder;
  return folder.Path();
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  Check(out.good(), "the input file can be written");
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ScratchNames() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(ScratchFolder())) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

bool HoldsNoCase(std::wstring_view text, std::wstring_view word) {
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); }) != text.end();
}

void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property failed: %s\n", property);
  std::error_code error;
  fs::remove_all(ScratchFolder(), error);
  std::abort();
}

}  // namespace zol::fuzz
