#include <gtest/gtest.h>

#include "entry.h"
#include "scratch.h"

namespace zol {
namespace {
using test::Cp932;

class EntryTest : public ::testing::Test {
 protected:
  test::ScratchFolder folder;
  std::filesystem::path systemIni = folder / "system.ini";
};

TEST_F(EntryTest, ReadsTheFirstCapitalEntry) {
  const std::pair<std::string, std::optional<std::wstring>> cases[] = {
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\A.SCR", L"C:\\S\\A.SCR"},
      {";SCRNSAVE.EXE=old.scr\r\nSCRNSAVE.EXE=new.scr\r\n", L"old.scr"},
      {"SCRNSAVE.EXE=\r\n", L"（なし）"},
      {Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\（なし）.scr\r\n"), L"D:\\セイバー\\（なし）.scr"},
      {"SCRNSAVE x.scr\r\n", L"SCRNSAVE x.scr"},
      {"scrnsave.exe=x.scr\r\n", std::nullopt},
      {"a=SCRNSAVE\rb=c.scr\r\n", L"SCRNSAVE"},
      {"\xffSCRNSAVE.EXE=a.scr\r\n", L"a.scr"},
      {"SCRNSAVE\x81=b.scr\r\n", L"b.scr"},
  };
  for (const auto& [file, entry] : cases) {
    test::WriteBytes(systemIni, file);
    EXPECT_EQ(ReadCurrentEntry(systemIni), entry) << file;
  }
}

TEST_F(EntryTest, RewritesOnlyTheEntry) {
  // Bytes that code page 932 does not map back, and the letters CRNSAV after a lead byte.
  const std::string kept =
      Cp932(L"; 日本語  \r\n") + "\xff\x80\xa0\r\n\x87\x9a\xfa\x40\r\nx\xff\x83\x43RNSAV\r\n";
  const std::string none = Cp932(L"SCRNSAVE.EXE=（なし）\r\n");
  std::string thousand;  // the most lines that a rewrite holds
  for (size_t i = 1; i < kIniLineCapacity; ++i) thousand += "line" + std::to_string(i) + "\r\n";
  struct Case {
    std::string before;
    std::wstring value;
    std::string after;
    RewriteResult result;
  };
  constexpr RewriteResult replaced = RewriteResult::EntryReplaced;
  const Case cases[] = {
      {kept + ";scrnsave.exe=old\r\nSCRNSAVE.EXE=live.scr\r\n" + kept, L"D:\\セイバー\\星空.scr",
       kept + Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\星空.scr\r\nSCRNSAVE.EXE=live.scr\r\n") + kept,
       replaced},
      {"a\rb\nc\r\n\r\nxcrnsave.exe=x", L"b.SCR", "a\r\nb\nc\r\n\r\nSCRNSAVE.EXE=b.SCR\r\n",
       replaced},
      {"[boot]\nSCRNSAVE.EXE=a.scr\nDisplayFallback=0", L"b.scr",
       "[boot]\r\nSCRNSAVE.EXE=b.scr\r\nDisplayFallback=0\r\n", replaced},
      {"SCRNSAVE.EXE=a\r\n" + thousand, L"C:\\x.scr.bak",
       "SCRNSAVE.EXE=C:\\x.scr.bak\r\n" + thousand, replaced},
      {"SCRNSAVE.EXE=a.scr\r\n", L"C:\\a.scr\\folder1", none, replaced},
      {"SCRNSAVE.EXE=a.scr\r\n", L"", none, replaced},
      {"[boot]\r\ndisplayfallback=1\r\nx\r\nDisplayFallback=0", L"C:\\a.scr",
       "[boot]\r\ndisplayfallback=1\r\nSCRNSAVE.EXE=C:\\a.scr\r\nx\r\nDisplayFallback=0\r\n"
       "SCRNSAVE.EXE=C:\\a.scr\r\n",
       RewriteResult::EntryInserted},
      {"DisplayFallback=0\r\n", L"C:\\x.scr.bk", "DisplayFallback=0\r\n" + none,
       RewriteResult::EntryInserted},
      {"DisplayFallback=0\r\n", L"C:\\a.scrあい",
       Cp932(L"DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\a.scrあい\r\n"), RewriteResult::EntryInserted},
  };
  for (const Case& c : cases) {
    test::WriteBytes(systemIni, c.before);
    EXPECT_EQ(RewriteEntry(systemIni, c.value), c.result) << c.before;
    EXPECT_EQ(test::ReadBytes(systemIni), c.after) << c.before;
    const std::wstring written = L"SCRNSAVE.EXE=" + WrittenEntryValue(c.value, c.result);
    EXPECT_NE(c.after.find(Cp932(written) + "\r\n"), std::string::npos) << c.before;
  }
}

}  // namespace
}  // namespace zol
