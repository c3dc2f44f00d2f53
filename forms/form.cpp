#include "forms.h"
// after windows.h
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "dpi.h"
#include "resource_ids.h"

namespace forms {
namespace {

constexpr const wchar_t* kFormClass = L"ZolForm";
constexpr int kFirstControlId = 100;  // above IDOK and IDCANCEL, which dialog keys send

// Thrown by EndProgram and caught where the form called the handler.
struct ProgramEnd {};

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// The ASCII text of a standard library exception.
std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

// The font that the designed sizes were made for, ＭＳ Ｐゴシック 9 pt, at the window's DPI; where
// it is not installed, the system's message font. The font mapper answers with another face for a
// face it does not have, and with the asked name, in either language, for one it has or
// substitutes.
zol::UniqueFont CreateFormFont(UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(9, dpi, 72);
  font.lfCharSet = SHIFTJIS_CHARSET;
  wcscpy_s(font.lfFaceName, L"ＭＳ Ｐゴシック");
  zol::UniqueFont classic(CreateFontIndirectW(&font));
  const zol::WindowDC screen(nullptr);
  wchar_t face[LF_FACESIZE] = L"";
  {
    const zol::SelectedObject selected(screen, classic.get());
    GetTextFaceW(screen, LF_FACESIZE, face);
  }
  if (wcscmp(face, L"ＭＳ Ｐゴシック") == 0 || _wcsicmp(face, L"MS PGothic") == 0) return classic;
  font = DpiFunctions::System().MessageFont(dpi);
  return zol::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

Control::Control(Form& form, const wchar_t* windowClass, DWORD style, std::wstring_view text,
                 Twips place, int tabIndex)
    : form_(form), place_(place), tabIndex_(tabIndex) {
  const int id = form.Add(*this);
  hwnd_ = CreateWindowExW(0, windowClass, std::wstring(text).c_str(), WS_CHILD | style,
                          form.ToPixels(place.left), form.ToPixels(place.top),
                          form.ToPixels(place.width), form.ToPixels(place.height), form.Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (!hwnd_)
    throw zol::Error(zol::ErrorKind::Unexpected, L"",
                     L"CreateWindowEx: " + std::wstring(windowClass));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form.font_.get()), FALSE);
}

Form::Form(const FormArgs& args)
    : caption_(args.caption),
      clientWidth_(args.clientWidth),
      clientHeight_(args.clientHeight),
      background_(args.background),
      backgroundBrush_(CreateSolidBrush(args.background)),
      style_(args.frame == Frame::Sizable
                 ? WS_OVERLAPPEDWINDOW
                 : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) {
  static const bool registered = [] {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    return RegisterWindowClass(kFormClass, WindowProc);
  }();
  (void)registered;
  CreateWindowExW(0, kFormClass, caption_.c_str(), style_, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                  nullptr, nullptr, Instance(), this);
  if (!hwnd_) throw zol::Error(zol::ErrorKind::Unexpected, L"", L"CreateWindowEx: " + caption_);
  ApplyDpi(DpiFunctions::System().ForWindow(hwnd_), nullptr);
  ReportError = [this](const zol::Error& error) { ShowError(hwnd_, caption_, error); };
}

Form::~Form() {
  // The controls are gone by now: no message may reach them while the windows are destroyed.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Form* form = zol::WindowOwner<Form>(hwnd, message, lParam);
  if (form && message == WM_NCCREATE) form->hwnd_ = hwnd;
  return form ? form->OnMessage(message, wParam, lParam)
              : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
      return OnControlColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), lParam);
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CONTEXTMENU:
      return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_MEASUREITEM:
      return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_ACTIVATE:
      return OnActivate(LOWORD(wParam), wParam, lParam);
    case WM_CLOSE:
      return Close(), 0;
    case WM_NEXTDLGCTL:
      return FocusControl(reinterpret_cast<HWND>(wParam)), 0;
    case WM_DPICHANGED:
      return ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)), 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

LRESULT Form::OnCommand(WORD id, WORD code) {
  // Enter in a control that is no push button reaches the form as IDOK.
  if (id == IDOK) {
    if (Control* focused = Find(GetFocus())) focused->OnEnterKey();
  } else if (Control* control = FindById(id)) {
    control->OnCommand(code);
  }
  return 0;
}

LRESULT Form::OnControlColor(HWND hwnd, HDC dc) {
  Control* control = Find(hwnd);
  HBRUSH brush = control ? control->OnColor(dc) : nullptr;
  if (!brush)
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(hwnd));
  return reinterpret_cast<LRESULT>(brush);
}

LRESULT Form::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  FillRect(dc, &client, BackgroundBrush());
  return 1;
}

LRESULT Form::OnSetCursor(HWND hwnd, WORD hitTest, LPARAM lParam) {
  Control* control = Find(hwnd);
  if (hitTest == HTCLIENT && control && control->Cursor()) {
    SetCursor(control->Cursor());
    return TRUE;
  }
  return DefWindowProcW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), lParam);
}

LRESULT Form::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (Control* control = FindById(item.CtlID)) control->OnDrawItem(item);
  return TRUE;
}

// A right click on the title bar opens the window's own menu, as it does by default.
LRESULT Form::OnContextMenu(HWND control, LPARAM at) {
  Control* found = Find(control);
  if (!found) return DefWindowProcW(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), at);
  found->OnContextMenu({GET_X_LPARAM(at), GET_Y_LPARAM(at)});
  return 0;
}

LRESULT Form::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = ItemHeight();
  return TRUE;
}

LRESULT Form::OnActivate(WORD state, WPARAM wParam, LPARAM lParam) {
  // Like a dialog box: the focus goes back to the control that had it.
  if (state == WA_INACTIVE) {
    if (Find(GetFocus())) lastFocus_ = GetFocus();
  } else if (lastFocus_ && IsWindowVisible(lastFocus_)) {
    SetFocus(lastFocus_);
    return 0;
  }
  return DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
}

int Form::Add(Control& control) {
  controls_.push_back(&control);
  return kFirstControlId + static_cast<int>(controls_.size()) - 1;
}

Control* Form::Find(HWND hwnd) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [hwnd](const Control* c) { return c->hwnd_ == hwnd; });
  return hwnd && found != controls_.end() ? *found : nullptr;
}

Control* Form::FindById(UINT_PTR id) const {
  const size_t index = id - kFirstControlId;
  return id >= kFirstControlId && index < controls_.size() ? controls_[index] : nullptr;
}

void Form::ApplyDpi(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  font_ = CreateFormFont(dpi);
  for (Control* control : controls_) {
    const Twips& place = control->place_;
    SetWindowPos(control->hwnd_, nullptr, ToPixels(place.left), ToPixels(place.top),
                 ToPixels(place.width), ToPixels(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control->hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    control->OnDpiChanged();
  }
  RECT frame = {0, 0, ToPixels(clientWidth_), ToPixels(clientHeight_)};
  if (suggested) {
    frame = *suggested;
  } else {
    DpiFunctions::System().AdjustFrame(frame, style_, 0, dpi);
    RECT now;
    GetWindowRect(hwnd_, &now);
    OffsetRect(&frame, now.left - frame.left, now.top - frame.top);
  }
  SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// As in a dialog box: a push button that takes the focus becomes the default button, which Enter
// presses. IsDialogMessage does the same when the user tabs to a button. The form is no dialog box,
// so WM_NEXTDLGCTL comes only from the form itself, always naming the control.
void Form::FocusControl(HWND control) {
  for (const Control* other : controls_) {
    if (other->hwnd_ != control &&
        (SendMessageW(other->hwnd_, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
      SendMessageW(other->hwnd_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
  }
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) {
    SendMessageW(control, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
  SetFocus(control);
}

void Form::ArrangeTabOrder() {
  std::vector<Control*> order = controls_;
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex_ < b->tabIndex_; });
  HWND previous = HWND_TOP;
  for (Control* control : order) {
    SetWindowPos(control->hwnd_, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control->hwnd_;
  }
  const auto first = std::find_if(order.begin(), order.end(), [](const Control* c) {
    return (GetWindowLongW(c->hwnd_, GWL_STYLE) & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) ==
           (WS_TABSTOP | WS_VISIBLE);
  });
  lastFocus_ = first != order.end() ? (*first)->hwnd_ : nullptr;
}

bool Form::Open() {
  ArrangeTabOrder();
  if (!Dispatch(Load) || ended_) {
    Close();
    return false;
  }
  KeepOnScreen();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  if (lastFocus_) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(lastFocus_), TRUE);
  return true;
}

// A position stored on a monitor that is gone, or beyond the screen's edge, would open the window
// where nobody sees it: such a window comes whole onto the nearest monitor's work area. A window
// that shows in part stays where the user dragged it, at a negative position too.
void Form::KeepOnScreen() {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  if (MonitorFromRect(&frame, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const LONG left =
      std::max(work.left, std::min(frame.left, work.right - (frame.right - frame.left)));
  const LONG top =
      std::max(work.top, std::min(frame.top, work.bottom - (frame.bottom - frame.top)));
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::Run() {
  if (!Open()) return 1;
  MSG message;
  while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

bool Form::Dispatch(const std::function<void()>& handler) {
  if (ended_ || !handler) return true;
  try {
    handler();
  } catch (const ProgramEnd&) {
    Close();
  } catch (const zol::Error& error) {
    ReportError(error);
    return false;
  } catch (const std::exception& error) {
    ReportError(zol::Error(zol::ErrorKind::Unexpected, L"", Widen(error.what())));
    return false;
  }
  return true;
}

void Form::Close() {
  ended_ = true;
  ShowWindow(hwnd_, SW_HIDE);
  // A WM_CLOSE sent from another thread or process is handled inside GetMessage, which would
  // then wait for the next posted message before the loop could see that the program ended.
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

int Form::Top() const {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  return ToTwips(frame.top);
}

int Form::Left() const {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  return ToTwips(frame.left);
}

void Form::SetTop(int twips) {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  SetWindowPos(hwnd_, nullptr, frame.left, ToPixels(twips), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetLeft(int twips) {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  SetWindowPos(hwnd_, nullptr, ToPixels(twips), frame.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
  if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
}

void Form::Hide() { ShowWindow(hwnd_, SW_HIDE); }

bool RegisterWindowClass(const wchar_t* name, WNDPROC windowProc) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_SHARED));
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

void EndProgram() { throw ProgramEnd{}; }

void ShowError(HWND owner, const std::wstring& caption, const zol::Error& error) {
  MessageBoxW(owner, error.Text().c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

// The owner comes to the foreground first, and hears of a message after the menu closes: otherwise
// a menu of a window in the background stays open when the user clicks elsewhere (KB135788).
UINT ChooseFromMenu(HWND owner, POINT at, HMENU menu) {
  SetForegroundWindow(owner);
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                     at.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

int ChooseFromMenu(HWND owner, POINT at, std::initializer_list<const wchar_t*> items) {
  const zol::UniqueMenu menu(CreatePopupMenu());
  UINT id = 0;
  for (const wchar_t* item : items) AppendMenuW(menu.get(), MF_STRING, ++id, item);
  return static_cast<int>(ChooseFromMenu(owner, at, menu.get())) - 1;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(GetWindowTextLengthW(hwnd) + 1, L'\0');
  text.resize(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())));
  return text;
}

}  // namespace forms
