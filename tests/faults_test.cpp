// Faults of the disk and of other programs, under Wine: each leaves the file as it was and no
// temporary file behind, and says what happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>

#include "entry.h"
#include "error.h"
#include "scratch.h"
#include "textfile.h"

namespace zol {
namespace {
namespace fs = std::filesystem;

const std::string kBefore = "[boot]\r\nSCRNSAVE.EXE=a.scr\r\nDisplayFallback=0\r\n";

std::set<fs::path> FilesIn(const fs::path& folder) {
  std::set<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.insert(entry.path());
  return files;
}

struct Handle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

HANDLE Open(const fs::path& file, DWORD share) {
  return CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

// As root, the test command links two small disks of its own into the prefix: O: with room for
// a few files and P: read-only, holding a system.ini. Anything larger is never filled.
bool HaveSmallDisk(const wchar_t* root) {
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) && total.QuadPart <= 1 << 20;
}

TEST(FaultTest, EachFailureLeavesTheFileAsItWas) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  const fs::path full = L"O:\\system.ini", readOnly = L"P:\\system.ini";
  Handle held;
  struct Case {
    const char* name;
    fs::path file;
    std::function<void()> arrange;
    std::function<void()> act;
    ErrorKind kind;
  };
  const auto read = [&](const fs::path& file) { return [file] { ReadCurrentEntry(file); }; };
  const auto rewrite = [&](const fs::path& file) {
    return [file] { RewriteEntry(file, L"C:\\b.scr"); };
  };
  const Case cases[] = {
      {"held open, read", systemIni, [&] { held.handle = Open(systemIni, 0); }, read(systemIni),
       ErrorKind::InUse},
      {"held open, save", systemIni, [&] { held.handle = Open(systemIni, 0); },
       [&] { ReplaceFileLines(systemIni, {"x"}); }, ErrorKind::InUse},
      {"locked", systemIni,
       [&] {
         held.handle = Open(systemIni, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
         LockFile(held.handle, 0, 0, 4096, 0);
       },
       rewrite(systemIni), ErrorKind::InUse},
      {"full disk", full,
       [&] {
         // Fills the disk to its last byte after system.ini.
         held.handle =
             CreateFileW(L"O:\\filler", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
         const std::string block(4096, 'x');
         DWORD written;
         for (int i = 0;
              i < 256 && WriteFile(held.handle, block.data(), 4096, &written, nullptr) && written;
              ++i) {
         }
         WriteFile(held.handle, block.data(), 1, &written, nullptr);
       },
       rewrite(full), ErrorKind::DiskFull},
      {"read-only disk", readOnly, [] {}, rewrite(readOnly), ErrorKind::FolderRefuses},
  };
  for (const Case& c : cases) {
    if (c.file.root_name() != systemIni.root_name() && !HaveSmallDisk(c.file.root_path().c_str())) {
      std::printf("skipped \"%s\": the test command did not link drive %ls\n", c.name,
                  c.file.root_name().c_str());
      continue;
    }
    if (c.file != readOnly) test::WriteBytes(c.file, kBefore);
    const std::string before = test::ReadBytes(c.file);
    c.arrange();
    const std::set<fs::path> files = FilesIn(c.file.parent_path());
    try {
      c.act();
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), c.kind) << c.name << ": " << error.what();
      EXPECT_NE(error.Text().find(c.file.wstring()), std::wstring::npos) << c.name;
    }
    CloseHandle(held.handle);
    held.handle = INVALID_HANDLE_VALUE;
    EXPECT_EQ(FilesIn(c.file.parent_path()), files) << c.name;
    EXPECT_EQ(test::ReadBytes(c.file), before) << c.name;
  }
  DeleteFileW(L"O:\\filler");
  DeleteFileW(full.c_str());
}

TEST(FaultTest, ARewriteKeepsHiddenAndSystem) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  test::WriteBytes(systemIni, kBefore);
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(systemIni.c_str(), kKept));
  RewriteEntry(systemIni, L"b.scr");
  EXPECT_EQ(GetFileAttributesW(systemIni.c_str()) & kKept, kKept);
}

// Two programs save one file a few hundred times at once: every read sees one whole version,
// and no temporary file is left.
TEST(FaultTest, ConcurrentSavesNeverMix) {
  test::ScratchFolder folder;
  const fs::path systemIni = folder / "system.ini";
  test::WriteBytes(systemIni, kBefore);
  const std::string longValue = "C:\\" + std::string(200, 'L') + ".scr", shortValue = "s.scr";
  const std::set<std::string> versions = {
      kBefore, "[boot]\r\nSCRNSAVE.EXE=" + longValue + "\r\nDisplayFallback=0\r\n",
      "[boot]\r\nSCRNSAVE.EXE=" + shortValue + "\r\nDisplayFallback=0\r\n"};

  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path saver = fs::path(self).parent_path() / "saver.exe";
  PROCESS_INFORMATION savers[2] = {};
  const std::string values[2] = {longValue, shortValue};
  for (int i = 0; i < 2; ++i) {
    std::wstring commandLine = L"\"" + saver.wstring() + L"\" \"" + systemIni.wstring() + L"\" " +
                               std::wstring(values[i].begin(), values[i].end()) + L" 300";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(saver.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &savers[i]));
  }
  int reads = 0;
  const HANDLE running[2] = {savers[0].hProcess, savers[1].hProcess};
  while (WaitForMultipleObjects(2, running, TRUE, 0) == WAIT_TIMEOUT) {
    try {
      const std::string bytes = ReadFileBytes(systemIni);
      EXPECT_EQ(versions.count(bytes), 1u) << bytes;
      ++reads;
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), ErrorKind::InUse);
    }
  }
  for (const PROCESS_INFORMATION& process : savers) {
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  EXPECT_GT(reads, 0);
  EXPECT_NE(test::ReadBytes(systemIni), kBefore);
  EXPECT_EQ(FilesIn(folder.Path()), std::set<fs::path>{systemIni});
}

}  // namespace
}  // namespace zol
