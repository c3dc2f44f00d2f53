// What the fuzz targets share: a scratch folder of the process's own, whole-file helpers, a word
// search and the check that stops the run on a broken property.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zol::fuzz {

// A folder under the system's temporary folder, made on first use and removed at exit.
const std::filesystem::path& ScratchFolder();

void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& file);

// The names of the files in the scratch folder, in no particular order.
std::vector<std::string> ScratchNames();

// Whether the text holds the ASCII word in any letter case.
bool HoldsNoCase(std::wstring_view text, std::wstring_view word);

// Aborts with the property's text when it does not hold, so that libFuzzer keeps the input.
void Check(bool holds, const char* property);

}  // namespace zol::fuzz
