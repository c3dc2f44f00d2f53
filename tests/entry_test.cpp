#include <gtest/gtest.h>

#include "entry.h"
#include "error.h"
#include "scratch.h"

namespace zol {
namespace {
using test::Cp932;

class EntryTest : public ::testing::Test {
 protected:
  test::ScratchFolder folder;
  std::filesystem::path systemIni = folder / "system.ini";

  // Expects the rewrite to fail with the kind given and to leave the file as it was.
  void ExpectRefused(const std::string& before, std::wstring_view value, ErrorKind kind) {
    test::WriteBytes(systemIni, before);
    try {
      RewriteEntry(systemIni, value);
      ADD_FAILURE() << "the rewrite did not fail";
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), kind) << error.what();
    }
    EXPECT_EQ(test::ReadBytes(systemIni), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  }

  // Expects reading and rewriting the entry to fail with the kind given, naming the file.
  void ExpectFails(ErrorKind kind);
};

TEST_F(EntryTest, ReadsTheFirstCapitalEntry) {
  struct Case {
    std::string file;
    std::optional<std::wstring> entry;
  };
  const Case cases[] = {
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\A.SCR", L"C:\\S\\A.SCR"},
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\a.scr\r\n", L"C:\\S\\a.scr"},
      {";SCRNSAVE.EXE=old.scr\r\nSCRNSAVE.EXE=new.scr\r\n", L"old.scr"},
      {"SCRNSAVE.EXE=\r\n", L"（なし）"},
      {Cp932(L"SCRNSAVE.EXE=（なし）\r\n"), L"（なし）"},
      {Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\（なし）.scr\r\n"), L"D:\\セイバー\\（なし）.scr"},
      {"SCRNSAVE x.scr\r\n", L"SCRNSAVE x.scr"},
      {"scrnsave.exe=x.scr\r\n", std::nullopt},
      {"", std::nullopt},
      {"a=SCRNSAVE\rb=c.scr\r\n", L"SCRNSAVE"},
      {"[boot]\nSCRNSAVE.EXE=C:\\a.scr\nx=1\n", L"C:\\a.scr"},
      {"\xff"
       "SCRNSAVE.EXE=a.scr\r\n",
       L"a.scr"},
      {"SCRNSAVE\x81=b.scr\r\n", L"b.scr"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(systemIni, c.file);
    EXPECT_EQ(ReadCurrentEntry(systemIni), c.entry) << c.file;
  }
}

TEST_F(EntryTest, RewritesOnlyTheEntry) {
  const std::string kept =
      Cp932(L"; 日本語のコメント  \r\n") + "\xff\x80\xa0\r\n\x87\x9a\xfa\x40\r\n";
  struct Case {
    const char* name;
    std::string before;
    std::wstring value;
    std::string after;
    RewriteResult result;
  };
  const Case cases[] = {
      {"first of several", "[boot]\r\n;scrnsave.exe=old\r\nSCRNSAVE.EXE=live.scr\r\n",
       L"C:\\S\\a.scr", "[boot]\r\nSCRNSAVE.EXE=C:\\S\\a.scr\r\nSCRNSAVE.EXE=live.scr\r\n",
       RewriteResult::EntryReplaced},
      {"line ends, the letters CRNSAV", "a\rb\nc\r\n\r\nxcrnsave.exe=x", L"b.SCR",
       "a\r\nb\nc\r\n\r\nSCRNSAVE.EXE=b.SCR\r\n", RewriteResult::EntryReplaced},
      {"LF line ends", "[boot]\nSCRNSAVE.EXE=a.scr\nDisplayFallback=0", L"b.scr",
       "[boot]\r\nSCRNSAVE.EXE=b.scr\r\nDisplayFallback=0\r\n", RewriteResult::EntryReplaced},
      {"other lines keep their bytes", kept + "SCRNSAVE.EXE=a.scr\r\n" + kept,
       L"D:\\セイバー\\星空.scr", kept + Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\星空.scr\r\n") + kept,
       RewriteResult::EntryReplaced},
      {"a trail byte is no letter",
       "x\xff\x83"
       "CRNSAV\r\nscrnsave.exe=a\r\n",
       L"b.scr",
       "x\xff\x83"
       "CRNSAV\r\nSCRNSAVE.EXE=b.scr\r\n",
       RewriteResult::EntryReplaced},
      {"scr within ten", "SCRNSAVE.EXE=a.scr\r\n", L"C:\\x.scr.bak",
       "SCRNSAVE.EXE=C:\\x.scr.bak\r\n", RewriteResult::EntryReplaced},
      {"scr beyond ten", "SCRNSAVE.EXE=a.scr\r\n", L"C:\\a.scr\\folder1",
       Cp932(L"SCRNSAVE.EXE=（なし）\r\n"), RewriteResult::EntryReplaced},
      {"empty value", "SCRNSAVE.EXE=a.scr\r\n", L"", Cp932(L"SCRNSAVE.EXE=（なし）\r\n"),
       RewriteResult::EntryReplaced},
      {"inserted after each fallback", "[boot]\r\ndisplayfallback=1\r\nx\r\nDisplayFallback=0",
       L"C:\\a.scr",
       "[boot]\r\ndisplayfallback=1\r\nSCRNSAVE.EXE=C:\\a.scr\r\nx\r\nDisplayFallback=0\r\n"
       "SCRNSAVE.EXE=C:\\a.scr\r\n",
       RewriteResult::EntryInserted},
      {"scr beyond five", "DisplayFallback=0\r\n", L"C:\\x.scr.bk",
       Cp932(L"DisplayFallback=0\r\nSCRNSAVE.EXE=（なし）\r\n"), RewriteResult::EntryInserted},
      {"characters, not bytes", "DisplayFallback=0\r\n", L"C:\\a.scrあい",
       Cp932(L"DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\a.scrあい\r\n"), RewriteResult::EntryInserted},
  };
  for (const Case& c : cases) {
    test::WriteBytes(systemIni, c.before);
    EXPECT_EQ(RewriteEntry(systemIni, c.value), c.result) << c.name;
    EXPECT_EQ(test::ReadBytes(systemIni), c.after) << c.name;
    const std::wstring written = L"SCRNSAVE.EXE=" + WrittenEntryValue(c.value, c.result);
    EXPECT_NE(c.after.find(Cp932(written) + "\r\n"), std::string::npos) << c.name;
  }
}

TEST_F(EntryTest, HoldsAThousandLinesAndRefusesMore) {
  std::string lines = "SCRNSAVE.EXE=a.scr\r\n";
  for (int i = 1; i < 1000; ++i) lines += "line" + std::to_string(i) + "\r\n";
  test::WriteBytes(systemIni, lines);
  EXPECT_EQ(RewriteEntry(systemIni, L"b.scr"), RewriteResult::EntryReplaced);
  EXPECT_EQ(test::ReadBytes(systemIni), "SCRNSAVE.EXE=b.scr" + lines.substr(18));

  ExpectRefused(lines + "line1000", L"b.scr", ErrorKind::TooManyLines);
}

TEST_F(EntryTest, FailuresLeaveTheFileAsItWas) {
  ExpectRefused("[boot]\r\nshell=Explorer.exe\r\n", L"a.scr", ErrorKind::NoPlaceForEntry);
  ExpectRefused("SCRNSAVE.EXE=a.scr\r\n", L"C:\\caf\u00e9.scr", ErrorKind::NotRepresentable);
  for (std::wstring_view injected :
       {std::wstring_view(L"a.scr\r\nshell=evil.exe"), std::wstring_view(L"a\0.scr", 6)}) {
    ExpectRefused("DisplayFallback=0\r\n", injected, ErrorKind::LineBreakInValue);
  }

  test::WriteBytes(systemIni, "SCRNSAVE.EXE=a.scr\r\n");
  test::SetReadOnly(systemIni, true);
  ExpectRefused("SCRNSAVE.EXE=a.scr\r\n", L"b.scr", ErrorKind::AccessDenied);
  test::SetReadOnly(systemIni, false);

  // A temporary file that a crash left under the name this save would take first.
  const std::string stale =
      systemIni.string() + "." + std::to_string(test::ProcessId()) + "-0.zol-new";
  test::WriteBytes(stale, "left by a crash");
  EXPECT_EQ(RewriteEntry(systemIni, L"b.scr"), RewriteResult::EntryReplaced);
  EXPECT_EQ(test::ReadBytes(systemIni), "SCRNSAVE.EXE=b.scr\r\n");
  std::filesystem::remove(stale);

  std::filesystem::remove(systemIni);
  std::filesystem::create_directory(systemIni);
  ExpectFails(ErrorKind::IsFolder);
  std::filesystem::remove(systemIni);
  ExpectFails(ErrorKind::FileNotFound);
  EXPECT_FALSE(std::filesystem::exists(systemIni));
}

void EntryTest::ExpectFails(ErrorKind kind) {
  for (auto call : {+[](const std::filesystem::path& file) { RewriteEntry(file, L"a.scr"); },
                    +[](const std::filesystem::path& file) { ReadCurrentEntry(file); }}) {
    try {
      call(systemIni);
      ADD_FAILURE() << "no failure";
    } catch (const Error& error) {
      EXPECT_EQ(error.Kind(), kind) << error.what();
      EXPECT_NE(error.Text().find(systemIni.wstring()), std::wstring::npos);
    }
  }
}

}  // namespace
}  // namespace zol
