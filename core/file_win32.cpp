// Whole files through Win32. Readers share the file for reading and deleting, so that a save
// may replace it while it is read; the reader still reads the version it opened.
#include <windows.h>

#include <algorithm>

#include "error.h"
#include "textfile.h"
#include "win32.h"

namespace zol {
namespace {

// A temporary file that is removed unless it has taken the original's place.
struct TemporaryFile {
  std::wstring path;
  bool placed = false;
  ~TemporaryFile() {
    if (!path.empty() && !placed) DeleteFileW(path.c_str());
  }
};

// While another program reads or saves the same file, Windows refuses to replace it (Wine says
// ERROR_ACCESS_DENIED, whatever the share mode): a save waits up to a second for that to end.
constexpr int kReplaceTries = 50;
constexpr DWORD kReplacePause = 20;  // milliseconds

[[noreturn]] void Fail(ErrorKind kind, const Path& file) { throw Error(kind, FullPath(file)); }

DWORD Attributes(const Path& file) { return GetFileAttributesW(file.c_str()); }

bool IsFolderNow(const Path& file) {
  const DWORD attributes = Attributes(file);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ErrorKind ReadError(DWORD error, const Path& file) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return ErrorKind::FileNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return ErrorKind::InUse;
    default:
      return IsFolderNow(file) ? ErrorKind::IsFolder : ErrorKind::CannotRead;
  }
}

ErrorKind WriteError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErrorKind::DiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return ErrorKind::FolderRefuses;
    case ERROR_PATH_NOT_FOUND:
      return ErrorKind::FileNotFound;
    default:
      return ErrorKind::WriteFailed;
  }
}

ErrorKind ReplaceError(DWORD error, const Path& file) {
  if (error != ERROR_ACCESS_DENIED) return WriteError(error);
  const DWORD attributes = Attributes(file);
  if (attributes == INVALID_FILE_ATTRIBUTES) return ErrorKind::WriteFailed;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ErrorKind::IsFolder;
  if (attributes & FILE_ATTRIBUTE_READONLY) return ErrorKind::AccessDenied;
  return ErrorKind::InUse;
}

// Writes all the bytes: near a full disk WriteFile may write fewer without an error, and the
// error comes with the next call.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_DISK_FULL;
    bytes.remove_prefix(written);
  }
  return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

std::string ReadFileBytes(const Path& file) {
  const UniqueHandle in(
      OrNull(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  if (!in) Fail(ReadError(GetLastError(), file), file);
  // A program that locks the file is writing it: a shared lock of the whole file while it is read
  // tells so on Wine too, whose reads pass over locks. Where there is no locking, it reads anyway.
  OVERLAPPED whole{};
  if (!LockFileEx(in.get(), LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole) &&
      GetLastError() == ERROR_LOCK_VIOLATION) {
    Fail(ErrorKind::InUse, file);
  }
  std::string bytes;
  char buffer[16 * 1024];
  DWORD read = 0;
  do {
    if (!ReadFile(in.get(), buffer, sizeof buffer, &read, nullptr)) {
      Fail(ReadError(GetLastError(), file), file);
    }
    bytes.append(buffer, read);
  } while (read > 0);
  UnlockFileEx(in.get(), 0, MAXDWORD, MAXDWORD, &whole);
  return bytes;
}

void ReplaceFileBytes(const Path& file, std::string_view bytes) {
  const DWORD original = Attributes(file);
  const bool exists = original != INVALID_FILE_ATTRIBUTES;
  if (exists && (original & FILE_ATTRIBUTE_DIRECTORY)) Fail(ErrorKind::IsFolder, file);
  if (exists && (original & FILE_ATTRIBUTE_READONLY)) Fail(ErrorKind::AccessDenied, file);
  // The original's attributes that the new file keeps; a new file has none of them.
  const DWORD kept = exists
                         ? original & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
                         : 0;

  // A name of its own for this process and attempt: one left by a crash is passed over.
  TemporaryFile temporary;
  UniqueHandle out;
  for (int attempt = 0; !out; ++attempt) {
    const Path name = TemporaryName(file, GetCurrentProcessId(), attempt);
    out.reset(OrNull(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (out) {
      temporary.path = name;
    } else if (GetLastError() != ERROR_FILE_EXISTS || attempt + 1 == kTemporaryNames) {
      Fail(WriteError(GetLastError()), file);
    }
  }
  if (const DWORD error = WriteAll(out.get(), bytes)) Fail(WriteError(error), file);
  out.reset();

  for (int attempt = 1; !MoveFileExW(temporary.path.c_str(), file.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
       ++attempt) {
    const DWORD error = GetLastError();
    const ErrorKind kind = ReplaceError(error, file);
    if (kind != ErrorKind::InUse || attempt == kReplaceTries) Fail(kind, file);
    Sleep(kReplacePause);
  }
  temporary.placed = true;
}

Path ToPath(std::wstring_view text) { return Path(text); }

std::wstring FullPath(const Path& file) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH, full.data(), nullptr);
  if (length >= MAX_PATH) {
    full.resize(length);
    length = GetFullPathNameW(file.c_str(), length, full.data(), nullptr);
  }
  if (length == 0) return file;
  full.resize(length);
  return full;
}

}  // namespace zol
