#include <gtest/gtest.h>

#include <memory>

#include "configurator.h"
#include "installation.h"

namespace zol {
namespace {
using test::Cp932;
namespace fs = std::filesystem;

TEST(ComposeChosenPathTest, JoinsWithOneBackslash) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* name;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L"C:\\", L"a.scr", L"C:\\a.scr"},
      {L"C:\\SAVERS", L"a.scr", L"C:\\SAVERS\\a.scr"},
      {L"C:\\SAVERS", L"", L"C:\\SAVERS\\"},
      {L"C:\\", L"", L"C:\\"},
      {L"C:\\SAVERS", L"\\a.scr", L"C:\\SAVERS\\a.scr"},
      {L"C:\\", L"\\a.scr", L"C:\\\\a.scr"},
  };
  for (const Case& c : cases) EXPECT_EQ(zolset::ComposeChosenPath(c.folder, c.name), c.path);
}

class ConfiguratorTest : public test::WindowTest<zolset::Form1> {
 protected:
  ConfiguratorTest() {
    test::InstallFakeControlPanel(install.panel);
    for (const wchar_t* name : {L"星空.scr", L"迷路.scr"}) {
      fs::copy_file(install.panel / "control.exe", install.savers / name);
    }
    test::WriteBytes(install.savers / "readme.txt", "");
    test::WriteBytes(install.savers / "old.scr.txt", "");
    fs::create_directories(install.savers / L"古い物");
    test::WriteBytes(install.savers / L"古い物" / L"旧.scr", "");
  }

  std::wstring Label1() const { return window->Label1.Caption(); }
  std::wstring Folder(const fs::path& folder) const { return folder.wstring(); }

  // Picks a file in File1 as a click does, or as a double click that arrives as a click first.
  void PickFile(const wchar_t* name, bool doubleClick = false) {
    test::SelectEntry(window->File1.Handle(), name);
    if (doubleClick) test::Notify(window->File1.Handle(), LBN_DBLCLK);
  }

  void HighlightFolder(const wchar_t* name) { test::SelectEntry(window->Dirlist.Handle(), name); }

  void SelectDrive(const std::wstring& drive) {
    const HWND list = window->Drvlist.Handle();
    const LRESULT index = SendMessageW(list, CB_FINDSTRING, -1, LPARAM(drive.c_str()));
    ASSERT_NE(index, CB_ERR) << testing::PrintToString(drive);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    test::Notify(list, CBN_SELCHANGE);
  }

  std::string Entry(const std::wstring& value) { return Cp932(L"SCRNSAVE.EXE=" + value); }
  // What Windows of the NT family, as Wine answers, keeps after naming a screen saver.
  test::DesktopScreenSaver Named(const fs::path& saver) { return {Folder(saver), L"1"}; }
};

// Each label's caption fits on one line, and the form's client area is as designed.
TEST_F(ConfiguratorTest, WindowAsCreated) {
  ASSERT_TRUE(Start());
  zolset::Form1& w = *window;
  for (const forms::Label* label : {&w.Label3, &w.Label4, &w.Label5, &w.Label6}) {
    RECT box;
    GetClientRect(label->Handle(), &box);
    EXPECT_LE(forms::TextWidth(label->Handle()), box.right)
        << testing::PrintToString(label->Caption());
  }
  RECT client;
  GetClientRect(w.form.Handle(), &client);
  EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(403L, 398L));
  EXPECT_EQ(GetFocus(), w.Command1.Handle());
  test::ExpectTabOrder(
      w.form.Handle(),
      {w.Command1.Handle(), w.Command2.Handle(), w.Drvlist.Handle(), w.Dirlist.Handle(),
       w.File1.Handle(), w.Command3.Handle(), w.Command4.Handle(), w.Command1.Handle()});
}

TEST_F(ConfiguratorTest, StartUpShowsTheEntryAndTheFavouriteFolder) {
  struct Case {
    const char* systemIni;
    const wchar_t* label5;
  };
  const Case cases[] = {
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\A.SCR\r\n", L"C:\\S\\A.SCR"},
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\A.TXT\r\n", L"（なし）"},
      {"[boot]\r\nscrnsave.exe=C:\\S\\A.SCR\r\n", L"なし　［画面の設定で変更して下さい］"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, c.systemIni);
    ASSERT_TRUE(Start());
    EXPECT_EQ(window->Label5.Caption(), c.label5);
    EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers));
    EXPECT_EQ(Label1(), Folder(install.savers));
    EXPECT_EQ(test::ListEntries(window->File1.Handle()),
              (std::vector<std::wstring>{L"星空.scr", L"迷路.scr"}));
  }
}

TEST_F(ConfiguratorTest, PickingAFileComposesItsPath) {
  ASSERT_TRUE(Start());
  SetFocus(window->File1.Handle());
  PickFile(L"迷路.scr");
  EXPECT_EQ(window->Text1.Text(), L"迷路.scr");
  EXPECT_EQ(Label1(), Folder(install.savers / L"迷路.scr"));
  EXPECT_EQ(GetFocus(), window->Command1.Handle());

  PickFile(L"星空.scr", true);
  EXPECT_EQ(window->Text1.Text(), L"星空.scr");
  EXPECT_EQ(Label1(), Folder(install.savers / L"星空.scr"));

  // A single click on another folder highlights it and drops the name.
  HighlightFolder(L"古い物");
  EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers));
  EXPECT_EQ(Label1(), Folder(install.savers));
  EXPECT_EQ(test::ListEntries(window->File1.Handle()).size(), 2u);

  // A click on Label1 puts the name back.
  test::Notify(window->Label1.Handle(), STN_CLICKED);
  EXPECT_EQ(Label1(), Folder(install.savers / L"星空.scr"));

  // Leaving the folder list opens the highlighted folder.
  SetFocus(window->Dirlist.Handle());
  HighlightFolder(L"古い物");
  SetFocus(window->Command2.Handle());
  EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers / L"古い物"));
  EXPECT_EQ(test::ListEntries(window->File1.Handle()), std::vector<std::wstring>{L"旧.scr"});
  EXPECT_EQ(Label1(), Folder(install.savers / L"古い物"));

  // A double click on a folder opens it, and so does Enter.
  HighlightFolder(L"セイバー");
  test::Notify(window->Dirlist.Handle(), LBN_DBLCLK);
  EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers));
  SetFocus(window->Dirlist.Handle());
  HighlightFolder(L"古い物");
  SendMessageW(window->form.Handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers / L"古い物"));
  EXPECT_TRUE(reported->kinds.empty());
}

TEST_F(ConfiguratorTest, Drives) {
  if (!test::HaveTestDrives()) GTEST_SKIP() << "the Wine test drives are not mapped";
  const std::wstring root = test::kTestRootDrive, unreadable = test::kUnreadableDrive;
  test::WriteBytes(root + L"\\根.scr", "");
  ASSERT_TRUE(Start());
  PickFile(L"迷路.scr");
  const std::wstring home = window->Drvlist.Drive();

  SelectDrive(root);
  EXPECT_EQ(window->Dirlist.Path(), root + L"\\");
  EXPECT_EQ(test::ListEntries(window->File1.Handle()), std::vector<std::wstring>{L"根.scr"});
  EXPECT_EQ(window->Drvlist.Drive().substr(0, 2), L"r:");
  EXPECT_TRUE(reported->kinds.empty());
  EXPECT_EQ(Label1(), window->Drvlist.Drive() + L"迷路.scr");

  PickFile(L"根.scr");
  EXPECT_EQ(Label1(), root + L"\\根.scr");
  test::Notify(window->Label1.Handle(), STN_CLICKED);
  EXPECT_EQ(Label1(), root + L"\\根.scr");

  SelectDrive(unreadable);
  EXPECT_TRUE(reported->kinds.empty());
  EXPECT_EQ(window->Dirlist.Path(), root + L"\\");
  EXPECT_EQ(window->Drvlist.Drive().substr(0, 2), L"r:");

  // Back on the first drive, the lists show the folder last shown there.
  SelectDrive(home);
  EXPECT_EQ(window->Dirlist.Path(), Folder(install.savers));
  fs::remove(root + L"\\根.scr");
}

// An apply saves zol.ini with the window's position; after a replaced entry the window stays open
// and shows the entry as system.ini now names it, after an inserted one the program ends. Nothing
// picked writes none; a failed apply leaves zol.ini and the window.
TEST_F(ConfiguratorTest, Apply) {
  // Lines 5 to 8 with keys of their own and trailing blanks come back exactly as read, an eleventh
  // line does not.
  install.lines.panelDirLine = L"CP=" + test::Installation::DirOf(install.panel) + L"  ";
  install.WriteZolIni();
  const std::string zolIni = test::ReadBytes(install.zolIni) + "eleventh line\r\n";
  const std::string moved = install.ZolIniAt(L"675", L"450");
  const std::wstring maze = Folder(install.savers / L"迷路.scr");
  const std::string fallback = "[display]\r\nDisplayFallback=1\r\n";
  struct Case {
    const wchar_t* picked;
    std::string systemIni, systemIniAfter, zolIniAfter;
    std::optional<ErrorKind> kind;
    bool ended;
    test::DesktopScreenSaver registry;
  };
  const test::DesktopScreenSaver old = {L"C:\\OLD.SCR", L"1"};
  const Case cases[] = {
      {L"迷路.scr", "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n", "[boot]\r\n" + Entry(maze) + "\r\n",
       moved, std::nullopt, false, Named(install.savers / L"迷路.scr")},
      {nullptr,
       "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n",
       "[boot]\r\n" + Entry(L"（なし）") + "\r\n",
       moved,
       std::nullopt,
       false,
       {std::nullopt, L"0"}},
      {L"迷路.scr", fallback, fallback + Entry(maze) + "\r\n", moved, std::nullopt, true,
       Named(install.savers / L"迷路.scr")},
      {L"迷路.scr", "[boot]\r\n", "[boot]\r\n", zolIni, ErrorKind::NoPlaceForEntry, false, old},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, c.systemIni);
    test::WriteBytes(install.zolIni, zolIni);
    test::WriteDesktopScreenSaver(old);
    ASSERT_TRUE(Start());
    if (c.picked) PickFile(c.picked);
    SetWindowPos(window->form.Handle(), nullptr, 30, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click(window->Command1);
    const auto label = &c - cases;
    EXPECT_EQ(reported->kinds, c.kind ? std::vector{*c.kind} : std::vector<ErrorKind>{}) << label;
    EXPECT_EQ(window->form.Ended(), c.ended) << label;
    EXPECT_EQ(test::ReadBytes(install.systemIni), c.systemIniAfter) << label;
    EXPECT_EQ(test::ReadBytes(install.zolIni), c.zolIniAfter) << label;
    EXPECT_EQ(test::ReadDesktopScreenSaver(), c.registry) << label;
    if (!c.kind && !c.ended) {
      EXPECT_EQ(window->Label5.Caption(), c.picked ? maze : L"（なし）") << label;
    }
  }
}

// Enter presses the button that the program gave the focus, as after the Tab key.
TEST_F(ConfiguratorTest, EnterPressesTheButtonThatTheProgramFocuses) {
  const std::string after = "\r\n[display]\r\nDisplayFallback=0\r\n";
  ASSERT_TRUE(Start());
  test::PressKey(window->form.Handle(), VK_RETURN);  // Command1 has the focus from the start
  EXPECT_EQ(test::ReadBytes(install.systemIni), "[boot]\r\n" + Entry(L"（なし）") + after);
  SetFocus(window->File1.Handle());
  PickFile(L"迷路.scr");  // which gives Command1 the focus
  test::PressKey(window->form.Handle(), VK_RETURN);
  EXPECT_EQ(test::ReadBytes(install.systemIni),
            "[boot]\r\n" + Entry(Folder(install.savers / L"迷路.scr")) + after);
}

// A path too long for its label reads back whole and shows whole as a tooltip.
TEST_F(ConfiguratorTest, PathLabels) {
  const fs::path deep =
      install.savers / L"とても長い名前のフォルダーの中のまた長い名前のフォルダー";
  fs::create_directories(deep);
  fs::copy_file(install.savers / L"星空.scr", deep / L"流れ星.scr");
  ASSERT_TRUE(Start());
  window->Dirlist.SetPath(deep.wstring());
  PickFile(L"流れ星.scr");
  Click(window->Command1);
  for (const forms::Label* label : {&window->Label1, &window->Label5}) {
    EXPECT_EQ(label->Caption(), Folder(deep / L"流れ星.scr"));
    RECT box;
    GetClientRect(label->Handle(), &box);
    EXPECT_GT(forms::TextWidth(label->Handle()), box.right);
    EXPECT_EQ(test::TooltipText(label->Handle()), Folder(deep / L"流れ星.scr"));
  }
}

// A command button's caption that one line does not hold goes onto two lines.
TEST(CommandButtonTest, WrapsACaptionThatOneLineDoesNotHold) {
  struct Case {
    int width;
    int lines;
  };
  for (const Case c : {Case{4000, 1}, Case{1800, 2}}) {
    forms::Form form{{L"t", 4500, 1500, zolset::kGrey, forms::Frame::Sizable}};
    forms::CommandButton button{
        form, {L"オプション設定　（変更後実施して下さい）", {0, 0, c.width, 495}, 0}};
    EXPECT_EQ(test::TextLines(button.Handle()), c.lines) << c.width;
  }
}

TEST_F(ConfiguratorTest, OtherCommands) {
  const std::string zolIni = test::ReadBytes(install.zolIni);
  const std::string systemIni = test::ReadBytes(install.systemIni);
  ASSERT_TRUE(Start());

  Click(window->Command3);  // nothing picked yet
  EXPECT_EQ(reported->kinds, std::vector{ErrorKind::NothingPicked});
  PickFile(L"星空.scr");
  Click(window->Command3);
  EXPECT_TRUE(test::WaitForFile(install.savers / "started.txt"));

  Click(window->Command4);
  EXPECT_TRUE(test::WaitForFile(install.panel / "started.txt"));
  EXPECT_FALSE(window->form.Ended());
  EXPECT_EQ(reported->kinds.size(), 1u);

  test::Notify(window->Label2.Handle(), STN_CLICKED);
  EXPECT_FALSE(IsWindowVisible(window->form.Handle()));
  EXPECT_FALSE(window->form.Ended());

  Click(window->Command2);
  EXPECT_TRUE(window->form.Ended());
  EXPECT_EQ(test::ReadBytes(install.zolIni), zolIni);
  EXPECT_EQ(test::ReadBytes(install.systemIni), systemIni);
}

}  // namespace
}  // namespace zol
