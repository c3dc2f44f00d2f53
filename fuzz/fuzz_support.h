// What the fuzz targets share: a scratch folder of the process's own, whole files and the check
// that stops the run on a broken property.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A folder under the system's temporary folder, made at start and removed at exit.
inline struct Scratch {
  std::string path = (std::filesystem::temp_directory_path() / "zol-fuzz-XXXXXX").string();
  bool made = mkdtemp(path.data()) != nullptr;
  std::error_code ignored;
  ~Scratch() {
    if (made) std::filesystem::remove_all(path, ignored);
  }
} scratch;

// Aborts with the property's text when it does not hold, so that libFuzzer keeps the input.
inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property failed: %s\n", property);
  scratch.~Scratch();
  std::abort();
}

inline void WriteBytes(const std::string& file, std::string_view bytes) {
  Check(scratch.made && (std::ofstream(file, std::ios::binary) << bytes).flush(), "file written");
}

inline std::string ReadBytes(const std::string& file) {
  return {std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}};
}

// The names of the files in the scratch folder, in no particular order.
inline std::vector<std::string> ScratchNames() {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(scratch.path))
    names.push_back(e.path().filename());
  return names;
}
