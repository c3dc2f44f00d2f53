// Whole-file reading and writing, and the line rule of system.ini.
//
// A rewrite never leaves a half-written or mixed file: the new bytes go to a temporary file of
// their own in the same folder (a name for each process and attempt), are flushed to the disk,
// and then take the original's place, keeping its attributes. On any failure the temporary file
// is removed and the original is as it was. When two programs save one file at once, the later
// save wins whole; the other saves too or reports that the file is in use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zol {

// A file's path as the platform's file functions take it: UTF-16 on Windows, bytes elsewhere.
#ifdef _WIN32
using Path = std::wstring;
#else
using Path = std::string;
#endif

// The path of a file named in text.
Path ToPath(std::wstring_view text);

// The file's bytes. Throws FileNotFound, IsFolder, InUse (held or locked by another program) or
// CannotRead, naming the file by its full path. A write-protected file, or one on a full disk,
// reads as any other.
std::string ReadFileBytes(const Path& file);

// Replaces the file's content with the bytes given. Throws AccessDenied for a write-protected
// file, IsFolder, InUse, FolderRefuses (a folder or disk that takes no new file), FileNotFound (no
// such folder), DiskFull or WriteFailed, and leaves the file as it was.
void ReplaceFileBytes(const Path& file, std::string_view bytes);

// The lines given, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// The name of a rewrite's temporary file beside the file: one for each process and attempt, so
// that two programs saving at once, or a file left by a crash, never share one.
Path TemporaryName(const Path& file, unsigned long processId, int attempt);
// How many names a rewrite tries before it gives up.
inline constexpr int kTemporaryNames = 100;

// The full path of a file, for messages.
std::wstring FullPath(const Path& file);

// Splits at CR or CR LF; a lone LF stays inside its line, except in a file with no CR at all,
// whose lines end in LF. A last line without a line end counts.
std::vector<std::string> SplitLines(std::string_view bytes);

// Whether the text holds the ASCII word in any letter case.
bool ContainsNoCase(std::wstring_view text, std::wstring_view word);

}  // namespace zol
