#include "forms.h"
// after windows.h
#include <commctrl.h>

#include <algorithm>

namespace forms {

int TextWidth(HWND hwnd) {
  const std::wstring text = WindowText(hwnd);
  const zol::WindowDC dc(hwnd);
  const zol::SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  RECT box = {};
  DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return box.right;
}

CommandButton::CommandButton(Form& form, const ButtonArgs& args)
    : Control(form, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, args.caption,
              args.place, args.tabIndex) {}

void CommandButton::SetCaption(std::wstring_view caption) {
  SetWindowTextW(hwnd_, std::wstring(caption).c_str());
}

void CommandButton::SetFocus() {
  SendMessageW(GetParent(hwnd_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hwnd_), TRUE);
}

void CommandButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) form_.Dispatch(Click);
}

Label::Label(Form& form, const LabelArgs& args)
    : Control(form, L"STATIC",
              WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE | SS_LEFTNOWORDWRAP |
                  (args.frame ? WS_BORDER : 0) | (args.showsPath ? SS_PATHELLIPSIS : 0),
              args.caption, args.place, args.tabIndex),
      textColor_(args.textColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : args.textColor),
      background_(args.background == CLR_INVALID ? form.Background() : args.background),
      brush_(args.background == CLR_INVALID ? nullptr : CreateSolidBrush(args.background)),
      cursor_(args.cursorId
                  ? LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(args.cursorId))
                  : nullptr) {
  if (args.showsPath) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = const_cast<wchar_t*>(args.caption);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  FitCaption();
}

std::wstring Label::Caption() const { return WindowText(hwnd_); }

void Label::SetCaption(std::wstring_view caption) {
  const std::wstring text(caption);
  SetWindowTextW(hwnd_, text.c_str());
  if (tooltip_) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form_.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  FitCaption();
}

void Label::FitCaption() {
  if (GetWindowLongW(hwnd_, GWL_STYLE) & WS_BORDER) return;
  const int designed = form_.ToPixels(Place().width);
  const int room = form_.ClientRight() - form_.ToPixels(Place().left);
  const int width = std::max(designed, std::min(TextWidth(hwnd_), room));
  RECT now;
  GetWindowRect(hwnd_, &now);
  if (width != now.right - now.left) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, now.bottom - now.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Label::OnCommand(WORD code) {
  if (code == STN_CLICKED) form_.Dispatch(Click);
}

HBRUSH Label::OnColor(HDC dc) {
  SetTextColor(dc, textColor_);
  SetBkColor(dc, background_);
  return brush_ ? brush_.get() : form_.BackgroundBrush();
}

}  // namespace forms
