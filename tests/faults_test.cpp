// Faults of the disk and of other programs, under Wine: each rewrite that fails leaves the file as
// it was and no temporary file behind, and says what happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <future>
#include <optional>
#include <set>

#include "scratch.h"
#include "textfile.h"
#include "win32.h"

namespace zol {
namespace {
namespace fs = std::filesystem;

const std::string kBefore = "[boot]\r\nSCRNSAVE.EXE=a.scr\r\n";

std::set<fs::path> FilesIn(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

struct Fault {
  fs::path file;
  bool written;                   // whether the file is there before the rewrite
  std::function<void()> arrange;  // what else is done to it before
  // Held open by another program meanwhile, with that share mode: for itself alone; for reading,
  // which lets the save read the file but not replace it; or for anything, but with a lock.
  std::optional<DWORD> held;
  ErrorKind kind;
};

// Each fault on a rewrite of the file: read, then replaced by other bytes.
void Rewrite(const std::vector<Fault>& faults) {
  for (const Fault& f : faults) {
    if (f.written) test::WriteBytes(f.file, kBefore);
    const std::string before = test::ReadBytes(f.file);
    if (f.arrange) f.arrange();
    const std::set<fs::path> files = FilesIn(f.file.parent_path());
    const Error error = test::ErrorOf([&] {
      const UniqueHandle held(f.held ? OrNull(CreateFileW(f.file.c_str(), GENERIC_READ, *f.held,
                                                          nullptr, OPEN_EXISTING, 0, nullptr))
                                     : nullptr);
      if (f.held && (*f.held & FILE_SHARE_DELETE)) LockFile(held.get(), 0, 0, 4096, 0);
      ReplaceFileBytes(f.file, ReadFileBytes(f.file) + "x");
    });
    EXPECT_EQ(std::pair(error.Kind(), error.Subject()), std::pair(f.kind, f.file.wstring()));
    SetFileAttributesW(f.file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FilesIn(f.file.parent_path()), files) << error.what();
    EXPECT_EQ(test::ReadBytes(f.file), before) << error.what();
  }
}

TEST(FaultTest, EachFailureLeavesTheFileAsItWas) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  const auto readOnly = [&] { SetFileAttributesW(systemIni.c_str(), FILE_ATTRIBUTE_READONLY); };
  const auto makeFolder = [&] { fs::create_directory(folder / "dir.ini"); };
  Rewrite({
      {systemIni, true, readOnly, {}, ErrorKind::AccessDenied},
      {systemIni, true, {}, 0, ErrorKind::InUse},
      {systemIni, true, {}, FILE_SHARE_READ, ErrorKind::InUse},
      {systemIni,
       true,
       {},
       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
       ErrorKind::InUse},
      {folder / "none.ini", false, {}, {}, ErrorKind::FileNotFound},
      {folder / "dir.ini", false, makeFolder, {}, ErrorKind::IsFolder},
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
  Rewrite({
      {L"O:\\system.ini", true, fill, {}, ErrorKind::DiskFull},
      {L"P:\\system.ini", false, {}, {}, ErrorKind::FolderRefuses},
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
      try {
        ReplaceFileBytes(systemIni, bytes);
      } catch (const Error& error) {
        failed += error.Kind() != ErrorKind::InUse;
      }
    }
    return failed;
  };
  auto first = std::async(std::launch::async, save, large);
  auto second = std::async(std::launch::async, save, small);
  int reads = 0;
  while (second.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    try {
      EXPECT_EQ(versions.count(ReadFileBytes(systemIni)), 1u);
      ++reads;
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), ErrorKind::InUse);
    }
    Sleep(1);  // leaves the file free now and then, as a reader that does more than read does
  }
  EXPECT_EQ(first.get() + second.get(), 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(GetFileAttributesW(systemIni.c_str()) & kKept, kKept);
  EXPECT_EQ(FilesIn(folder.Path()), std::set<fs::path>{systemIni});
}

}  // namespace
}  // namespace zol
