#include "forms.h"

namespace forms {

CommandButton::CommandButton(Form& form, const ButtonArgs& args)
    : Control(form, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, args.caption, args.place,
              args.tabIndex) {}

void CommandButton::SetCaption(std::wstring_view caption) {
  SetWindowTextW(hwnd_, std::wstring(caption).c_str());
}

void CommandButton::SetFocus() { ::SetFocus(hwnd_); }

void CommandButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) form_.Dispatch(Click);
}

Label::Label(Form& form, const LabelArgs& args)
    : Control(form, L"STATIC",
              WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE | SS_LEFTNOWORDWRAP |
                  (args.frame ? WS_BORDER : 0),
              args.caption, args.place, args.tabIndex),
      textColor_(args.textColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : args.textColor),
      background_(args.background == CLR_INVALID ? form.Background() : args.background),
      brush_(args.background == CLR_INVALID ? nullptr : CreateSolidBrush(args.background)),
      cursor_(args.cursorId
                  ? LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(args.cursorId))
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
