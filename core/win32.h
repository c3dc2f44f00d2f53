// What the Windows parts of the core, the window layer and zolinit share: owners of Win32 handles,
// one line per type, and the files of a folder as a file list shows them. Windows only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zol {

template <auto Release>
struct Releaser {
  template <class Handle>
  void operator()(Handle handle) const {
    Release(handle);
  }
};

using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, Releaser<DeleteObject>>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, Releaser<DeleteObject>>;
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, Releaser<DestroyMenu>>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, Releaser<DestroyWindow>>;
// Files, processes, threads and jobs.
using UniqueHandle = std::unique_ptr<void, Releaser<CloseHandle>>;
using UniqueFind = std::unique_ptr<void, Releaser<FindClose>>;
using UniqueView = std::unique_ptr<void, Releaser<UnmapViewOfFile>>;

// CreateFile and FindFirstFile answer INVALID_HANDLE_VALUE, not null, when they fail; the owners
// hold null for none.
inline HANDLE OrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

// A window's device context (the screen's for none) for a while.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() { ReleaseDC(window_, dc_); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A window's device context for painting, between BeginPaint and EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window) { BeginPaint(window, &paint_); }
  ~PaintDC() { EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  operator HDC() const { return paint_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
};

// A GDI object selected into a device context for a while: the one it replaced comes back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, replaced_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ replaced_;
};

// The object whose window procedure runs: given to CreateWindowEx as the creation parameter, kept
// in the window's user data from WM_NCCREATE on; null for the messages before that one.
template <class Owner>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// File names and paths as Windows compares them, blind to case; NameBefore is the order of the
// lists.
bool SameName(std::wstring_view a, std::wstring_view b);
bool NameBefore(const std::wstring& a, const std::wstring& b);

enum class Entries { Folders, Files };

// The names of a folder's subfolders, or of its files that match the pattern, in name order.
// Hidden and system files are left out, and the pattern is matched against the long name only
// (FindFirstFile would also match a short name such as "SAVER~1.SCR" of "saver.scr2"). Throws
// CannotReadFolder when the folder cannot be read: a drive without a medium, a folder that is gone.
std::vector<std::wstring> ListFolder(const std::wstring& folder, Entries entries,
                                     const wchar_t* pattern = L"*");

}  // namespace zol
