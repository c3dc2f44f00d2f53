// Whole files through POSIX, for the native build of the core.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "error.h"
#include "textfile.h"

namespace zol {
namespace fs = std::filesystem;
namespace {

struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) close(fd);
  }
};

// A temporary file that is removed unless it has taken the original's place.
struct TemporaryFile {
  std::string path;
  bool placed = false;
  ~TemporaryFile() {
    if (!path.empty() && !placed) unlink(path.c_str());
  }
};

[[noreturn]] void Fail(ErrorKind kind, const Path& file) { throw Error(kind, FullPath(file)); }

ErrorKind ReadError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ErrorKind::FileNotFound;
    case EISDIR:
      return ErrorKind::IsFolder;
    default:
      return ErrorKind::CannotRead;
  }
}

ErrorKind WriteError(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return ErrorKind::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
      return ErrorKind::FolderRefuses;
    case ENOENT:
      return ErrorKind::FileNotFound;
    case EISDIR:
      return ErrorKind::IsFolder;
    default:
      return ErrorKind::WriteFailed;
  }
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : ENOSPC;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

std::string ReadFileBytes(const Path& file) {
  const FileDescriptor in{open(file.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) Fail(ReadError(errno), file);
  std::string bytes;
  char buffer[16 * 1024];
  for (;;) {
    const ssize_t read = ::read(in.fd, buffer, sizeof buffer);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) Fail(ReadError(errno), file);
    if (read == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(read));
  }
}

void ReplaceFileBytes(const Path& file, std::string_view bytes) {
  struct stat original {};
  const bool exists = stat(file.c_str(), &original) == 0;
  if (exists && S_ISDIR(original.st_mode)) Fail(ErrorKind::IsFolder, file);
  if (exists && !(original.st_mode & S_IWUSR)) Fail(ErrorKind::AccessDenied, file);
  const mode_t mode = exists ? original.st_mode & 07777 : 0644;

  // A name of its own for this process and attempt: one left by a crash is passed over.
  TemporaryFile temporary;
  FileDescriptor out{-1};
  for (int attempt = 0; out.fd < 0; ++attempt) {
    const Path name = TemporaryName(file, static_cast<unsigned long>(getpid()), attempt);
    out.fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out.fd >= 0) {
      temporary.path = name;
    } else if (errno != EEXIST || attempt + 1 == kTemporaryNames) {
      Fail(WriteError(errno), file);
    }
  }
  if (const int error = WriteAll(out.fd, bytes)) Fail(WriteError(error), file);
  fchmod(out.fd, mode);
  if (rename(temporary.path.c_str(), file.c_str()) != 0) Fail(WriteError(errno), file);
  temporary.placed = true;
  // The new name itself reaches the disk with the folder.
  const fs::path parent = fs::path(file).parent_path();
  const FileDescriptor folder{
      open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (folder.fd >= 0) fsync(folder.fd);
}

Path ToPath(std::wstring_view text) { return fs::path(text).string(); }

std::wstring FullPath(const Path& file) {
  std::error_code error;
  const fs::path full = fs::absolute(file, error);
  return (error ? fs::path(file) : full).wstring();
}

}  // namespace zol
