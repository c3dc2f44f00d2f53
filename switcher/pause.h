// A pause of the screen saver for this session only: it is turned off without writing anything
// (not system.ini, not zol.ini, not the registry) and comes back by itself. While it lasts, the
// program waits with an icon in the notification area and no window; the running pause is found
// by the session's pause lock, which it holds.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <chrono>

#include "session.h"
#include "win32.h"

namespace zolswap {

using Minutes = std::chrono::duration<int, std::ratio<60>>;
inline constexpr Minutes kLongestPause{1440};

class Pause {
 public:
  // What the icon says to the window of the pause, a message of its own above WM_APP.
  static constexpr UINT kIconMessage = WM_APP + 1;

  // Turns the session's screen saver off for the time given, as the owner of the lock given, which
  // it lets go at the end. Throws NothingToPause when the screen saver is off already,
  // PolicyDecides while the administrator's policy sets it.
  Pause(app::PauseLock& lock, std::chrono::milliseconds duration);
  // The session takes the stored setting again: on the NT family the registry's ScreenSaveActive,
  // on the 9x family the state that it had before, which was on.
  ~Pause();
  Pause(const Pause&) = delete;
  Pause& operator=(const Pause&) = delete;

  // Waits for the end: the time, the menu's resume, "zolswap /resume", the end of the session or a
  // WM_CLOSE.
  void Wait();

  // The command line's /pause: pauses, or gives the running pause the time anew; one that meets a
  // pause in the middle of ending waits for that end and pauses. The exit code.
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

  app::PauseLock& lock_;
  zol::UniqueWindow window_;
  NOTIFYICONDATAW icon_{};
  std::chrono::steady_clock::time_point end_;
  bool ended_ = false;
};

}  // namespace zolswap
