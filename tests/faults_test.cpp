// Faults of the disk and of other programs, under Wine: each leaves the file as it was and no
// temporary file behind, and says what happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <future>
#include <optional>
#include <set>

#include "entry.h"
#include "scratch.h"
#include "textfile.h"

namespace zol {
namespace {
namespace fs = std::filesystem;

const std::string kBefore = "[boot]\r\nSCRNSAVE.EXE=a.scr\r\nDisplayFallback=0\r\n";

std::set<fs::path> FilesIn(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

TEST(FaultTest, EachFailureLeavesTheFileAsItWas) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini", full = L"O:\\system.ini";
  HANDLE held = INVALID_HANDLE_VALUE;
  // Held open by another program: for itself alone; for reading, which lets the save read the file
  // but not replace it; or for anything, but with a lock.
  const auto hold = [&](DWORD share) {
    return [&, share] {
      held =
          CreateFileW(systemIni.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
      if (share & FILE_SHARE_DELETE) LockFile(held, 0, 0, 4096, 0);
    };
  };
  struct Case {
    fs::path file;
    std::optional<std::string> before;  // nothing for a file not written
    std::function<void()> arrange;
    std::wstring_view value;
    ErrorKind kind;
  };
  const Case cases[] = {
      {systemIni, "[boot]\r\nshell=x.exe\r\n", {}, L"a.scr", ErrorKind::NoPlaceForEntry},
      {systemIni, kBefore, {}, L"C:\\caf\u00e9.scr", ErrorKind::NotRepresentable},
      {systemIni, kBefore, {}, L"a.scr\r\nshell=evil.exe", ErrorKind::LineBreakInValue},
      {systemIni, kBefore, {}, {L"a\0.scr", 6}, ErrorKind::LineBreakInValue},
      {systemIni,
       std::string(kIniLineCapacity, '\n') + "SCRNSAVE.EXE=a\n",
       {},
       L"b.scr",
       ErrorKind::TooManyLines},
      {systemIni, kBefore, [&] { SetFileAttributesW(systemIni.c_str(), FILE_ATTRIBUTE_READONLY); },
       L"b.scr", ErrorKind::AccessDenied},
      {systemIni, kBefore, hold(0), L"b.scr", ErrorKind::InUse},
      {systemIni, kBefore, hold(FILE_SHARE_READ), L"b.scr", ErrorKind::InUse},
      {systemIni, kBefore, hold(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE), L"b.scr",
       ErrorKind::InUse},
      {folder / "none.ini", std::nullopt, {}, L"b.scr", ErrorKind::FileNotFound},
      {folder / "dir.ini", std::nullopt, [&] { fs::create_directory(folder / "dir.ini"); },
       L"b.scr", ErrorKind::IsFolder},
      {full, kBefore,
       [] {  // fills the disk to its last byte after system.ini
         ULARGE_INTEGER free{};
         GetDiskFreeSpaceExW(L"O:\\", &free, nullptr, nullptr);
         test::WriteBytes(L"O:\\filler", std::string(free.QuadPart, 'x'));
       },
       L"b.scr", ErrorKind::DiskFull},
      {L"P:\\system.ini", std::nullopt, {}, L"b.scr", ErrorKind::FolderRefuses},
  };
  for (const Case& c : cases) {
    // As root, the test command links two small disks of its own into the prefix: O: with room
    // for a few files and P: read-only, holding a system.ini. Anything larger is never filled.
    ULARGE_INTEGER total{};
    if (c.file.root_name() != systemIni.root_name() &&
        !(GetDiskFreeSpaceExW(c.file.root_path().c_str(), nullptr, &total, nullptr) &&
          total.QuadPart <= 1 << 20)) {
      std::printf("skipped: the test command did not link drive %ls\n", c.file.root_name().c_str());
      continue;
    }
    if (c.before) test::WriteBytes(c.file, *c.before);
    const std::string before = test::ReadBytes(c.file);
    if (c.arrange) c.arrange();
    const std::set<fs::path> files = FilesIn(c.file.parent_path());
    const Error error = test::ErrorOf([&] { RewriteEntry(c.file, c.value); });
    EXPECT_EQ(error.Kind(), c.kind) << error.what();
    EXPECT_EQ(error.Subject(), c.file.wstring()) << error.what();
    CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    SetFileAttributesW(c.file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FilesIn(c.file.parent_path()), files) << error.what();
    EXPECT_EQ(test::ReadBytes(c.file), before) << error.what();
  }
  DeleteFileW(L"O:\\filler");
  DeleteFileW(full.c_str());
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
  const auto save = [&](const std::wstring& value) {  // the failures other than "in use"
    int failed = 0;
    for (int n = 0; n < 300; ++n) {
      try {
        RewriteEntry(systemIni, value);
      } catch (const Error& error) {
        failed += error.Kind() != ErrorKind::InUse;
      }
    }
    return failed;
  };
  const std::wstring values[] = {L"C:\\" + std::wstring(200, L'L') + L".scr", L"s.scr"};
  auto first = std::async(std::launch::async, save, values[0]);
  auto second = std::async(std::launch::async, save, values[1]);
  std::set<std::string> versions = {kBefore};
  for (const std::wstring& value : values) {
    versions.insert("[boot]\r\n" + test::Cp932(L"SCRNSAVE.EXE=" + value) +
                    "\r\nDisplayFallback=0\r\n");
  }
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
