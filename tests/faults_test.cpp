// Faults of the disk and of other programs, under Wine: each is an error of its own kind on a read
// and on a write, or none, and says what to do; a write that fails leaves the file as it was and no
// temporary file behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <future>
#include <optional>
#include <set>
#include <tuple>

#include "scratch.h"
#include "textfile.h"
#include "win32.h"

namespace zol {
namespace {
namespace fs = std::filesystem;

const std::string kBefore = "[boot]\r\nSCRNSAVE.EXE=a.scr\r\n";

std::set<fs::path> FilesIn(const fs::path& folder) {
  std::error_code missing;  // a folder that is not there holds none
  return {fs::directory_iterator(folder, missing), fs::directory_iterator()};
}

struct Fault {
  fs::path file;                  // written before unless it cannot be
  std::function<void()> arrange;  // what else is done to it before
  // Held open by another program meanwhile, with that share mode: for itself alone; for reading,
  // which lets the save read the file but not replace it; or for anything, but with a lock.
  std::optional<DWORD> held;
  std::optional<ErrorKind> read, write;  // the error of a read, of a write of other bytes; or none
};

// The kind of error that the call throws, which names the file by its full path after saying what
// to do; none when it throws none.
std::optional<ErrorKind> KindOf(const fs::path& file, const std::function<void()>& call) try {
  call();
  return std::nullopt;
} catch (const Error& error) {
  EXPECT_EQ(error.Subject(), file.wstring()) << error.what();
  EXPECT_TRUE(error.Text().ends_with(L"下さい。\n\n" + file.wstring())) << error.what();
  return error.Kind();
}

// Each fault on a read of the file and on a write, which leaves it as it was and no other file.
void ReadAndWrite(const std::vector<Fault>& faults) {
  for (const Fault& f : faults) {
    std::ofstream(f.file, std::ios::binary) << kBefore;
    const std::string before = test::ReadBytes(f.file);
    if (f.arrange) f.arrange();
    const std::set<fs::path> files = FilesIn(f.file.parent_path());
    UniqueHandle held(f.held ? OrNull(CreateFileW(f.file.c_str(), GENERIC_READ, *f.held, nullptr,
                                                  OPEN_EXISTING, 0, nullptr))
                             : nullptr);
    if (f.held && (*f.held & FILE_SHARE_DELETE)) LockFile(held.get(), 0, 0, 4096, 0);
    std::string read = before;
    EXPECT_EQ(KindOf(f.file, [&] { read = ReadFileBytes(f.file); }), f.read) << f.file;
    EXPECT_EQ(KindOf(f.file, [&] { ReplaceFileBytes(f.file, read + "x"); }), f.write) << f.file;
    held.reset();
    SetFileAttributesW(f.file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(std::tuple(FilesIn(f.file.parent_path()), test::ReadBytes(f.file), read),
              std::tuple(files, before, before))
        << f.file;
  }
}

TEST(FaultTest, EachFailureLeavesTheFileAsItWas) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini", none = folder / "none" / "system.ini";
  const auto readOnly = [&] { SetFileAttributesW(systemIni.c_str(), FILE_ATTRIBUTE_READONLY); };
  fs::create_directory(folder / "dir.ini");
  constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  ReadAndWrite({
      {systemIni, readOnly, {}, {}, ErrorKind::AccessDenied},     // write-protected: it reads
      {systemIni, {}, 0, ErrorKind::InUse, ErrorKind::InUse},     // held for itself alone
      {systemIni, {}, FILE_SHARE_READ, {}, ErrorKind::InUse},     // held for reading
      {systemIni, {}, kAll, ErrorKind::InUse, ErrorKind::InUse},  // held and locked
      {none, {}, {}, ErrorKind::FileNotFound, ErrorKind::FileNotFound},        // no folder either
      {folder / "dir.ini", {}, {}, ErrorKind::IsFolder, ErrorKind::IsFolder},  // a folder there
  });
}

// As root, the test command links two small disks of its own into the prefix: O: with room for a
// few files and P: read-only, holding a system.ini. A larger disk is never filled.
TEST(FaultTest, FullAndReadOnlyDisks) {
  ULARGE_INTEGER total{};
  if (!GetDiskFreeSpaceExW(L"O:\\", nullptr, &total, nullptr) || total.QuadPart > 1 << 20) {
    GTEST_SKIP() << "the test command did not link its small disks O: and P:";
  }
  const auto fill = [] {  // the disk to its last byte after system.ini
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExW(L"O:\\", &free, nullptr, nullptr);
    test::WriteBytes(L"O:\\filler", std::string(free.QuadPart, 'x'));
  };
  ReadAndWrite({
      {L"O:\\system.ini", fill, {}, {}, ErrorKind::DiskFull},     // a full disk: it reads
      {L"P:\\system.ini", {}, {}, {}, ErrorKind::FolderRefuses},  // a read-only disk: it reads
  });
  DeleteFileW(L"O:\\filler");
  DeleteFileW(L"O:\\system.ini");
}

// Two saves of one file a few hundred times at once, each passing over a temporary file of the
// other's that has the name it would take: every read sees one whole version, the file keeps its
// hidden and system attributes, and no other file is left.
TEST(FaultTest, ConcurrentSavesNeverMix) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  test::WriteBytes(systemIni, kBefore);
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(systemIni.c_str(), kKept));
  const std::string large(4000, 'L'), small = "s";
  const std::set<std::string> versions = {kBefore, large, small};
  const auto save = [&](const std::string& bytes) {  // the failures other than "in use"
    int failed = 0;
    for (int n = 0; n < 300; ++n) {
      const auto kind = KindOf(systemIni, [&] { ReplaceFileBytes(systemIni, bytes); });
      failed += kind && kind != ErrorKind::InUse;
    }
    return failed;
  };
  auto first = std::async(std::launch::async, save, large);
  auto second = std::async(std::launch::async, save, small);
  int reads = 0;
  while (second.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    std::string read;
    const auto kind = KindOf(systemIni, [&] { read = ReadFileBytes(systemIni); });
    EXPECT_TRUE(kind ? kind == ErrorKind::InUse : versions.count(read) == 1) << read;
    reads += !kind;
    Sleep(1);  // leaves the file free now and then, as a reader that does more than read does
  }
  EXPECT_EQ(first.get() + second.get(), 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(GetFileAttributesW(systemIni.c_str()) & kKept, kKept);
  EXPECT_EQ(FilesIn(folder.Path()), std::set<fs::path>{systemIni});
}

}  // namespace
}  // namespace zol
