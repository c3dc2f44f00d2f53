#include "forms.h"

namespace forms {

CommandButton::CommandButton(Form& form, const ButtonSpec& spec)
    : Control(form, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, spec.caption, spec.place,
              spec.tabIndex) {}

void CommandButton::SetCaption(std::wstring_view caption) {
  SetWindowTextW(hwnd_, std::wstring(caption).c_str());
}

void CommandButton::SetFocus() { ::SetFocus(hwnd_); }

void CommandButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) form_.Dispatch(Click);
}

Label::Label(Form& form, const LabelSpec& spec)
    : Control(form, L"STATIC",
              WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | (spec.wrap ? SS_LEFT : SS_LEFTNOWORDWRAP) |
                  (spec.frame ? WS_BORDER : 0),
              spec.caption, spec.place, spec.tabIndex),
      textColor_(spec.textColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : spec.textColor),
      background_(spec.background == CLR_INVALID ? form.Background() : spec.background),
      brush_(spec.background == CLR_INVALID ? nullptr : CreateSolidBrush(spec.background)),
      cursor_(spec.cursorId
                  ? LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(spec.cursorId))
                  : nullptr) {}

std::wstring Label::Caption() const { return WindowText(hwnd_); }

void Label::SetCaption(std::wstring_view caption) {
  SetWindowTextW(hwnd_, std::wstring(caption).c_str());
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
