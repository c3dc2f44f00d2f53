// A pause of the screen saver for this session only: it is turned off without writing anything
// (not system.ini, not zol.ini, not the registry) and comes back by itself. While it lasts, the
// program waits with an icon in the notification area and no window; the running pause is found
// by a named object of the session.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <chrono>

#include "win32.h"

namespace zolswap {

using Minutes = std::chrono::duration<int, std::ratio<60>>;
inline constexpr Minutes kLongestPause{1440};

class Pause {
 public:
  // What the icon says to the window of the pause, a message of its own above WM_APP.
  static constexpr UINT kIconMessage = WM_APP + 1;

  // Turns the session's screen saver off for the time given. Throws NothingToPause when it is off
  // already, PolicyDecides while the administrator's policy sets it.
  explicit Pause(std::chrono::milliseconds duration);
  // The session takes the stored setting again: on the NT family the registry's ScreenSaveActive,
  // on the 9x family the state that it had before, which was on.
  ~Pause();
  Pause(const Pause&) = delete;
  Pause& operator=(const Pause&) = delete;

  // Waits for the end: the time, the menu's resume, "zolswap /resume", the end of the session or a
  // WM_CLOSE.
  void Wait();

  // The command line's /pause: pauses, or gives the running pause the time anew. The exit code.
  static int FromCommandLine(Minutes duration);
  // The command line's /resume: ends the running pause, if there is one.
  static void Resume();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs for the time given from now, never beyond the longest pause.
  void Restart(std::chrono::milliseconds duration);
  void Tick();
  void OnIcon(UINT event);
  void OnEndSession(bool ending);
  void AddIcon();
  void End();

  zol::UniqueHandle published_;  // the named object that holds the window's handle
  zol::UniqueWindow window_;
  NOTIFYICONDATAW icon_{};
  std::chrono::steady_clock::time_point end_;
  bool ended_ = false;
};

}  // namespace zolswap
