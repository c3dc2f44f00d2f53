// https://learn.microsoft.com/windows/win32/sync/using-named-objects
#include "session.h"

#include "error.h"

namespace app {
namespace {

// A mutex and a file mapping share one namespace: their names differ.
constexpr const wchar_t* kLock = L"Local\\ZolPause";
constexpr const wchar_t* kRecord = L"Local\\ZolPauseRecord";
constexpr UINT kAnswerTime = 5000;  // milliseconds that the owner has to answer

}  // namespace

PauseLock::PauseLock()
    : mutex_(CreateMutexW(nullptr, FALSE, kLock)),
      record_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Owner),
                                 kRecord)),
      view_(record_ ? MapViewOfFile(record_.get(), FILE_MAP_WRITE, 0, 0, sizeof(Owner)) : nullptr) {
  if (!mutex_ || !view_) throw zol::Error(zol::ErrorKind::Unexpected, L"", L"pause lock");
}

// A mutex whose owner ended without letting it go is taken all the same.
bool PauseLock::Take(DWORD milliseconds) {
  if (!owned_) {
    const DWORD taken = WaitForSingleObject(mutex_.get(), milliseconds);
    owned_ = taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
  }
  return owned_;
}

void PauseLock::Release() {
  if (!owned_) return;
  Publish({});
  ReleaseMutex(mutex_.get());
  owned_ = false;
}

void PauseLock::Publish(const Owner& owner) { *static_cast<Owner*>(view_.get()) = owner; }

PauseLock::Owner PauseLock::Shown() const { return *static_cast<const Owner*>(view_.get()); }

LRESULT PauseLock::Ask(UINT message, WPARAM wParam) const {
  const HWND owner = Shown().window;
  DWORD_PTR answer = 0;
  return owner && SendMessageTimeoutW(owner, message, wParam, 0, SMTO_ABORTIFHUNG, kAnswerTime,
                                      &answer)
             ? answer
             : 0;
}

bool PauseLock::SessionPaused() {
  const zol::UniqueHandle record(OpenFileMappingW(FILE_MAP_READ, FALSE, kRecord));
  const zol::UniqueView view(
      record ? MapViewOfFile(record.get(), FILE_MAP_READ, 0, 0, sizeof(Owner)) : nullptr);
  const auto* shown = static_cast<const Owner*>(view.get());
  return shown && shown->paused && IsWindow(shown->window);
}

}  // namespace app
