// Whole-file reading and writing, and the line rule of system.ini.
//
// A rewrite never leaves a half-written or mixed file: the new bytes go to a temporary file of
// their own in the same folder (a name for each process and attempt), are flushed to the disk,
// and then take the original's place, keeping its attributes. On any failure the temporary file
// is removed and the original is as it was. When two programs save one file at once, the later
// save wins whole; the other saves too or reports that the file is in use.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zol {

// The file's bytes. Throws FileNotFound, IsFolder, InUse (held or locked by another program) or
// CannotRead, naming the file by its full path.
std::string ReadFileBytes(const std::filesystem::path& file);

// Replaces the file's content with the bytes given. Throws AccessDenied for a write-protected
// file, IsFolder, InUse, FolderRefuses, DiskFull or WriteFailed, and leaves the file as it was.
void ReplaceFileBytes(const std::filesystem::path& file, std::string_view bytes);

// Replaces the file's content with the lines given, each ended by CR LF.
void ReplaceFileLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

// The full path of a file, for messages.
std::wstring FullPath(const std::filesystem::path& file);

// Splits at CR or CR LF; a lone LF stays inside its line, except in a file with no CR at all,
// whose lines end in LF. A last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// Whether the text holds the ASCII word in any letter case.
bool ContainsNoCase(std::wstring_view text, std::wstring_view word);

}  // namespace zol
