// The configurator's window: the current screen saver, a drive, folder and file browser for
// "*.scr" files, the path that the apply button writes into system.ini, and four commands.
#pragma once

#include <string>

#include "program.h"
#include "resource_ids.h"
#include "version.h"

namespace zolset {

using app::kGrey;
inline constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kBlack = RGB(0x00, 0x00, 0x00);

// The folder, one backslash and the name; a doubled backslash (after a root) is reduced once.
std::wstring ComposeChosenPath(std::wstring_view folder, std::wstring_view name);

struct Form1 {
  static constexpr const wchar_t* kCaption = L"ゾルヴァ(ZOL3.60)";
  // The settings file is "zol.ini" in the working directory; tests give their own.
  explicit Form1(zol::Path settingsFile = L"zol.ini");

  // The controls are declared in reverse tab order, as the window was designed: a control
  // created later lies over one created earlier.
  forms::Form form{{kCaption, 6045, 5970, kGrey, forms::Frame::Sizable}};
  // the control panel
  forms::CommandButton Command4{form, {L"コントロールパネルの呼出し", {600, 4680, 3375, 495}, 13}};
  // the picked screen saver's own settings
  forms::CommandButton Command3{
      form, {L"オプション設定　（変更後実施して下さい）", {2160, 3960, 3375, 495}, 12}};
  // the screen savers of the folder
  forms::FileList File1{form, {{600, 600, 2295, 2430}, 7, zol::kScreenSaverPattern}};
  // the folders
  forms::DirList Dirlist{form, {{3120, 1080, 2295, 2130}, 4}};
  // the drives
  forms::DriveList Drvlist{form, {{3120, 600, 2295, 300}, 3}};
  // exit
  forms::CommandButton Command2{form, {L"終　了", {4320, 4680, 1215, 495}, 2}};
  // apply: Label1's path into system.ini
  forms::CommandButton Command1{form, {L"変　更", {600, 3960, 1215, 495}, 1}};
  // the picked file's name, hidden
  forms::TextBox Text1{form, {L"", {4800, 3600, 975, 270}, 0, false}};
  // introduces Label1
  forms::Label Label6{
      form,
      {L"変更後の設定　：　　　（必ず変更ボタンを押して下さい）", {600, 3360, 4110, 180}, 11}};
  // the screen saver that system.ini names now
  forms::Label Label5{form,
                      {.caption = L"なし　［画面の設定で変更して下さい］",
                       .place = {1800, 240, 2805, 180},
                       .tabIndex = 10,
                       .showsPath = true}};
  // introduces Label5
  forms::Label Label4{form, {L"現在の設定 ：", {600, 240, 1050, 180}, 9}};
  // the credit line
  forms::Label Label3{form, {L"ZOL Ver " ZOL_VERSION_WTEXT, {2280, 5520, 1665, 180}, 8}};
  // the hot spot beyond the designed client area, which hides the window
  forms::Label Label2{form,
                      {.caption = L"",
                       .place = {6360, 5520, 255, 300},
                       .tabIndex = 6,
                       .background = kGrey,
                       .textColor = kGrey,
                       .cursorId = IDC_HOTSPOT}};
  // the path that the apply button writes
  forms::Label Label1{form,
                      {.caption = L"Label1",
                       .place = {600, 3600, 4815, 240},
                       .tabIndex = 5,
                       .background = kWhite,
                       .textColor = kBlack,
                       .frame = true,
                       .showsPath = true}};

  // beside the window: the picked screen saver at work
  forms::Preview preview{form, zol::kNoScreenSaver};

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Drvlist_Change();
  void Dirlist_Change();
  void Dirlist_LostFocus();
  void File1_Click();
  void File1_ContextMenu();  // the verbs of a screen-saver file
  void Text1_Change();
  void Label2_Click();

 private:
  void ShowCurrentEntry();

  app::ProgramSettings settings_;
  std::wstring pickedScreenSaver_;  // the full path of the file last picked in File1
};

}  // namespace zolset
