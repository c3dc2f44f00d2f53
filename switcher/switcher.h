// The quick switcher's window: four buttons that switch the screen saver or open the control
// panel, each ending the program.
#pragma once

#include <vector>

#include "program.h"
#include "version.h"

namespace zolswap {

using app::kGrey;

enum class Choice { Favourite, None, Alternate };

// What a switch writes after "SCRNSAVE.EXE=": every screen saver, the alternate and none
// included, is named in the favourite's folder.
std::wstring SwitchValue(const zol::Settings& values, Choice choice);

// The switches without a window, as the command line and the resident icon make them: zol.ini is
// read as at start-up and not written.
void SwitchWithoutWindow(const zol::Path& settingsFile, Choice choice);
void ControlPanelWithoutWindow(const zol::Path& settingsFile);

// What zolswap /? shows, and a wrong command line after its own message.
inline constexpr const wchar_t* kUsage =
    L"zolswap の使い方:\n\n"
    L"zolswap /favourite\tお気に入りのスクリーンセイバーに変更\n"
    L"zolswap /none\tスクリーンセイバー無しに変更\n"
    L"zolswap /alternate\t代替えのスクリーンセイバーに変更\n"
    L"zolswap /pause [分]\tスクリーンセイバーを休止（1～1440 分、既定は 60 分）\n"
    L"zolswap /resume\t休止をやめて再開\n"
    L"zolswap /tray\t通知領域に常駐\n"
    L"zolswap /wait 分\tスクリーンセイバーまでの待ち時間（1～9999 分）\n"
    L"zolswap /lock on|off\t再開時にロックする・しない\n\n"
    L"引数なしで起動すると、ボタンのウィンドウを開きます。";

// zolswap with arguments: "/favourite", "/none" or "/alternate" (in any letter case, "-" for "/")
// makes the switch of that button without a window. "/pause [minutes]" pauses the screen saver for
// this session (60 minutes unless given, 1 to 1440), or gives a running pause that time anew;
// "/resume" ends a running pause; "/tray" stays in the notification area. "/wait minutes" (1 to
// 9999) sets the wait before the screen saver starts, "/lock on|off" whether it locks the session
// when it ends. "/?" shows the switches. The exit code: 0 after a switch, a pause, a resume, the
// icon's end, a setting or "/?", 1 after a failure once its message has been shown, 2 for a wrong
// command line.
int SwitchFromCommandLine(const std::vector<std::wstring>& arguments,
                          const zol::Path& settingsFile = L"zol.ini");

struct Form1 {
  static constexpr const wchar_t* kCaption = L"ＺＯＬ３．６０";
  // The settings file is "zol.ini" in the working directory; tests give their own.
  explicit Form1(zol::Path settingsFile = L"zol.ini");

  // The controls are declared in reverse tab order, as the window was designed: a control
  // created later lies over one created earlier.
  forms::Form form{{kCaption, 2565, 2940, kGrey, forms::Frame::FixedWithMinimize}};
  // the control panel
  forms::CommandButton Command4{form, {L"コントロールパネル呼出", {240, 2040, 2055, 375}, 4}};
  // to the alternate
  forms::CommandButton Command3{form, {L" に変更", {240, 840, 2055, 375}, 3}};
  // to no screen saver
  forms::CommandButton Command2{form, {L"スクリーンセイバ無し", {240, 1440, 2055, 375}, 1}};
  // to the favourite
  forms::CommandButton Command1{form, {L" に変更", {240, 240, 2055, 375}, 0}};
  // the credit line
  forms::Label Label3{form, {L"ZOL Ver " ZOL_VERSION_WTEXT, {480, 2640, 1425, 180}, 2}};

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();

 private:
  void SwitchTo(Choice choice);

  app::ProgramSettings settings_;
};

}  // namespace zolswap
