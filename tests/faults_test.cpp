// Faults of the disk and of other programs, under Wine: each leaves the file as it was and no
// temporary file behind, and says what happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <future>
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

// As root, the test command links two small disks of its own into the prefix: O: with room for
// a few files and P: read-only, holding a system.ini. Anything larger is never filled.
bool HaveSmallDisk(const wchar_t* root) {
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) && total.QuadPart <= 1 << 20;
}

TEST(FaultTest, EachFailureLeavesTheFileAsItWas) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini", full = L"O:\\system.ini";
  HANDLE held = INVALID_HANDLE_VALUE;
  const auto open = [&](DWORD share) {
    held = CreateFileW(systemIni.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  };
  struct Case {
    fs::path file;
    std::function<void()> arrange, act;
    ErrorKind kind;
  };
  const Case cases[] = {
      {systemIni, [&] { open(0); }, [&] { ReadCurrentEntry(systemIni); }, ErrorKind::InUse},
      {systemIni, [&] { open(0); }, [&] { ReplaceFileLines(systemIni, {"x"}); }, ErrorKind::InUse},
      {systemIni,
       [&] {
         open(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
         LockFile(held, 0, 0, 4096, 0);
       },
       [&] { RewriteEntry(systemIni, L"b.scr"); }, ErrorKind::InUse},
      {full,
       [] {  // fills the disk to its last byte after system.ini
         ULARGE_INTEGER free{};
         GetDiskFreeSpaceExW(L"O:\\", &free, nullptr, nullptr);
         test::WriteBytes(L"O:\\filler", std::string(free.QuadPart, 'x'));
       },
       [&] { RewriteEntry(full, L"b.scr"); }, ErrorKind::DiskFull},
      {L"P:\\system.ini", [] {}, [] { RewriteEntry(L"P:\\system.ini", L"b.scr"); },
       ErrorKind::FolderRefuses},
  };
  for (const Case& c : cases) {
    if (c.file.root_name() != systemIni.root_name() && !HaveSmallDisk(c.file.root_path().c_str())) {
      std::printf("skipped: the test command did not link drive %ls\n", c.file.root_name().c_str());
      continue;
    }
    if (c.file != L"P:\\system.ini") test::WriteBytes(c.file, kBefore);
    const std::string before = test::ReadBytes(c.file);
    c.arrange();
    const std::set<fs::path> files = FilesIn(c.file.parent_path());
    const Error error = test::ErrorOf(c.act);
    EXPECT_EQ(error.Kind(), c.kind) << error.what();
    EXPECT_NE(error.Text().find(c.file.wstring()), std::wstring::npos) << error.what();
    CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    EXPECT_EQ(FilesIn(c.file.parent_path()), files) << c.file;
    EXPECT_EQ(test::ReadBytes(c.file), before) << c.file;
  }
  DeleteFileW(L"O:\\filler");
  DeleteFileW(full.c_str());
}

// A save passes over a temporary file that a crash left under its name, and keeps the hidden and
// system attributes.
TEST(FaultTest, SavesOverWhatWasLeft) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  const fs::path stale =
      systemIni.wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-0.zol-new";
  test::WriteBytes(systemIni, kBefore);
  test::WriteBytes(stale, "left by a crash");
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(systemIni.c_str(), kKept));
  RewriteEntry(systemIni, L"b.scr");
  EXPECT_EQ(GetFileAttributesW(systemIni.c_str()) & kKept, kKept);
  EXPECT_EQ(test::ReadBytes(systemIni), "[boot]\r\nSCRNSAVE.EXE=b.scr\r\nDisplayFallback=0\r\n");
  EXPECT_EQ(test::ReadBytes(stale), "left by a crash");
}

// Two saves of one file a few hundred times at once: every read sees one whole version, and no
// temporary file is left.
TEST(FaultTest, ConcurrentSavesNeverMix) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  test::WriteBytes(systemIni, kBefore);
  const std::wstring values[] = {L"C:\\" + std::wstring(200, L'L') + L".scr", L"s.scr"};
  std::set<std::string> versions = {kBefore};
  std::future<int> saves[2];
  for (int i = 0; i < 2; ++i) {
    versions.insert("[boot]\r\n" + test::Cp932(L"SCRNSAVE.EXE=" + values[i]) +
                    "\r\nDisplayFallback=0\r\n");
    saves[i] = std::async(std::launch::async, [&, i] {
      int failed = 0;
      for (int n = 0; n < 300; ++n) {
        try {
          RewriteEntry(systemIni, values[i]);
        } catch (const Error& error) {
          failed += error.Kind() != ErrorKind::InUse;
        }
      }
      return failed;
    });
  }
  int reads = 0;
  while (saves[1].wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    try {
      EXPECT_EQ(versions.count(ReadFileBytes(systemIni)), 1u);
      ++reads;
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), ErrorKind::InUse);
    }
    Sleep(1);  // leaves the file free now and then, as a reader that does more than read does
  }
  EXPECT_EQ(saves[0].get() + saves[1].get(), 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(FilesIn(folder.Path()), std::set<fs::path>{systemIni});
}

}  // namespace
}  // namespace zol
