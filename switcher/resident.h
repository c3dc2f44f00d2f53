// zolswap in the notification area: an icon and no window, the one owner of the session's pause.
// As a pause (/pause), it turns the screen saver off for this session only, writing nothing (not
// system.ini, not zol.ini, not the registry), and ends with the pause. Resident (/tray), it stays,
// with the switches, the pause, the wait and the lock in its menu. Whichever runs holds the
// session's pause lock, through which other processes find it.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <optional>

#include "session.h"
#include "textfile.h"
#include "win32.h"

namespace zolswap {

using Minutes = std::chrono::duration<int, std::ratio<60>>;
inline constexpr Minutes kLongestPause{1440};

class Resident {
 public:
  // What the icon says to the window, a message of its own above WM_APP.
  static constexpr UINT kIconMessage = WM_APP + 1;

  // The icon, as the owner of the lock given, which it lets go at the end. Resident with the
  // settings file that its switches read, a pause alone without one; a pause shows its icon once
  // it pauses.
  Resident(app::PauseLock& lock, std::optional<zol::Path> settingsFile);
  // Ends the pause, so that the session takes the stored setting again.
  ~Resident() { Quit(); }
  Resident(const Resident&) = delete;
  Resident& operator=(const Resident&) = delete;

  // Turns the session's screen saver off for the time given, or gives a running pause that time
  // anew, never beyond the longest pause. Throws NothingToPause when the screen saver is off
  // already, PolicyDecides while the administrator's policy sets it.
  void Pause(std::chrono::milliseconds duration);
  // Waits for the end: of the pause, for a pause alone; the menu's 終了 for the resident icon;
  // for both the end of the session or a WM_CLOSE.
  void Wait();

  // The command line's /pause: pauses, or gives the running pause the time anew; one that meets a
  // pause in the middle of ending waits for that end and pauses. The exit code.
  static int PauseFromCommandLine(Minutes duration);
  // The command line's /resume: ends the running pause, if there is one.
  static void ResumeFromCommandLine();
  // The command line's /tray: stays with the icon, taking over a pause that runs; one more ends at
  // once. The exit code.
  static int TrayFromCommandLine(const zol::Path& settingsFile);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPauseAsked(Minutes duration);
  LRESULT OnHandOver();
  void OnIcon(UINT event, POINT at);
  void OnMenu(UINT command);
  // Runs the pause for the time given from now, turning the session's screen saver off first.
  void Continue(std::chrono::milliseconds duration);
  void Tick();
  void ShowIcon();
  // Ends a running pause: the session takes the stored setting again.
  void Resume();
  void EndPause();
  void Quit();
  void Publish();

  app::PauseLock& lock_;
  const std::optional<zol::Path> settingsFile_;
  zol::UniqueWindow window_;
  NOTIFYICONDATAW icon_{};
  HICON looks_[2] = {};  // the program's icon, and paused; shared from the resources, not ours
  bool shown_ = false;
  std::optional<std::chrono::steady_clock::time_point> end_;  // of the pause, while one runs
  bool ended_ = false;
};

// The resident icon's menu as it stands now: the switches with the one that Windows names checked,
// the pause or its end, the wait, the lock, the control panel and the end, each greyed where the
// administrator's policy sets what it changes. The names come from the settings file.
zol::UniqueMenu TrayMenu(const zol::Path& settingsFile, bool paused);

}  // namespace zolswap
