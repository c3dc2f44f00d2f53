// Whole-file reading and writing, and the line rule of system.ini.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zol {

// The file's bytes. Throws FileNotFound when there is no such file, AccessDenied when it
// cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

// Replaces the file's content with the lines given, each ended by CR LF. The lines go to a
// temporary file in the same folder first, which then takes the original's place, so a failure
// leaves the original whole. A write-protected file is refused with AccessDenied.
void ReplaceFileLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

// Splits at CR or CR LF; a lone LF stays inside its line. A last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// Whether the text holds the ASCII word in any letter case.
bool ContainsNoCase(std::wstring_view text, std::wstring_view word);

}  // namespace zol
