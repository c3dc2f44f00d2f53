// The owner of the session's pause, found through one named object of the session that is also
// the lock: the first process to hold it owns the pause, and a later one hands its request over.
// Beside it, a record of the session shows the owner's window, whether a pause runs now (so that a
// switch stores its choice and leaves the session to the owner) and whether the owner is the
// resident icon, which stays when its pause ends.
#pragma once

#include <windows.h>

#include "win32.h"

namespace app {

class PauseLock {
 public:
  PauseLock();
  ~PauseLock() { Release(); }
  PauseLock(const PauseLock&) = delete;
  PauseLock& operator=(const PauseLock&) = delete;

  // Takes the lock, waiting up to the milliseconds given for an owner that is ending. True when
  // this process owns the pause now.
  bool Take(DWORD milliseconds);
  // Lets the lock go, with the record cleared; nothing when this process does not own it.
  void Release();
  struct Owner {
    HWND window;  // hears what other processes ask
    BOOL paused;
    BOOL resident;
  };
  // As the owner: shows the record.
  void Publish(const Owner& owner);
  // The record as the owner shows it: all null while nobody owns the lock.
  Owner Shown() const;
  // Sends the owner a message and gives its answer: zero when there is no owner that answers.
  LRESULT Ask(UINT message, WPARAM wParam = 0) const;

  // Whether a pause runs in this session now.
  static bool SessionPaused();

 private:
  zol::UniqueHandle mutex_, record_;
  zol::UniqueView view_;
  bool owned_ = false;
};

}  // namespace app
