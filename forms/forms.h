// Our small window layer over Win32: a form and the controls that the two programs place on it.
//
// Places and sizes are in twips (1440 to the inch), turned into pixels at the window's DPI.
// Events are std::function members that the program binds to its handlers. Setting a text box's
// text, a directory list's path or a drive list's drive to a new value runs that control's Change
// handler at once, before the setting returns; setting the value it has runs nothing.
//
// Error policy: a handler lets zol::Error go; the form catches it where it called the handler and
// shows the error report. A failure in the load handler ends the program before the window shows;
// one while a window or a control is created throws zol::Error.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "win32.h"

namespace forms {

// A place on the form: left and top from the client area's top-left corner, width and height.
struct Twips {
  int left, top, width, height;
};

enum class Frame { FixedWithMinimize, Sizable };

struct FormArgs {
  const wchar_t* caption;
  int clientWidth, clientHeight;  // twips
  COLORREF background;
  Frame frame;
};

class Form;

// What every control shares: its window, its place, its tab index and its font.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  HWND Handle() const { return hwnd_; }

 protected:
  Control(Form& form, const wchar_t* windowClass, DWORD style, std::wstring_view text, Twips place,
          int tabIndex);

  // Notifications that Win32 sends the form about this control.
  virtual void OnCommand(WORD) {}
  virtual void OnEnterKey() {}
  // A right click at a point of the screen, or Shift+F10 or the menu key (at -1, -1).
  virtual void OnContextMenu(POINT) {}
  virtual void OnDrawItem(const DRAWITEMSTRUCT&) {}
  // The colours of a static control, and the brush for its background; null for the defaults.
  virtual HBRUSH OnColor(HDC) { return nullptr; }
  virtual HCURSOR Cursor() const { return nullptr; }
  // After the form's DPI and font have changed.
  virtual void OnDpiChanged() {}
  const Twips& Place() const { return place_; }

  Form& form_;
  HWND hwnd_ = nullptr;

 private:
  friend class Form;
  Twips place_;
  int tabIndex_;
};

class Form {
 public:
  explicit Form(const FormArgs& args);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::function<void()> Load;

  // Runs the load handler and then shows the window with the focus on the first control in tab
  // order. False when the load handler ended the program or failed (its error is reported).
  bool Open();
  // Runs the message loop until the program ends or the window is closed.
  int Run();

  HWND Handle() const { return hwnd_; }
  // The outer window's place on the screen, in twips.
  int Top() const;
  int Left() const;
  void SetTop(int twips);
  void SetLeft(int twips);
  // Shows the window if it is hidden.
  void Show();
  void Hide();
  // Whether the program has ended, by a handler or by closing the window.
  bool Ended() const { return ended_; }

  // Runs a handler of an event: a program end closes the form, an error is reported. False when
  // the handler failed.
  bool Dispatch(const std::function<void()>& handler);

  // The error report. A message box titled with the caption; tests put their own here.
  std::function<void(const zol::Error&)> ReportError;

  int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
  // The right edge of the designed client area in pixels.
  int ClientRight() const { return ToPixels(clientWidth_); }
  // The height of a list's entry in pixels.
  int ItemHeight() const { return ToPixels(240); }
  int ToTwips(int pixels) const { return MulDiv(pixels, 1440, dpi_); }
  HFONT Font() const { return font_.get(); }
  COLORREF Background() const { return background_; }
  HBRUSH BackgroundBrush() const { return backgroundBrush_.get(); }

 private:
  friend class Control;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WORD id, WORD code);
  LRESULT OnControlColor(HWND hwnd, HDC dc);
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnSetCursor(HWND hwnd, WORD hitTest, LPARAM lParam);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnContextMenu(HWND control, LPARAM at);
  LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item);
  LRESULT OnActivate(WORD state, WPARAM wParam, LPARAM lParam);
  int Add(Control& control);
  Control* Find(HWND control) const;
  Control* FindById(UINT_PTR id) const;
  void ApplyDpi(UINT dpi, const RECT* suggested);
  void FocusControl(HWND control);
  void ArrangeTabOrder();
  void KeepOnScreen();
  void Close();

  std::wstring caption_;
  int clientWidth_, clientHeight_;
  COLORREF background_;
  zol::UniqueBrush backgroundBrush_;
  zol::UniqueFont font_;
  DWORD style_;
  UINT dpi_ = 96;
  HWND hwnd_ = nullptr;
  HWND lastFocus_ = nullptr;
  std::vector<Control*> controls_;
  bool ended_ = false;
};

struct ButtonArgs {
  const wchar_t* caption;
  Twips place;
  int tabIndex;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& form, const ButtonArgs& args);
  std::function<void()> Click;
  void SetCaption(std::wstring_view caption);
  // Gives the button the focus and makes it the default button, as the Tab key does.
  void SetFocus();

 private:
  void OnCommand(WORD code) override;
};

// A command button's caption goes onto a second line when one line does not fit it.
//
// A label shows one line of text, centred from top to bottom. A caption that does not fit widens a
// label without a frame to the right, up to the edge of the designed client area. A label that
// shows a path keeps the path's end (the file name) in view with an ellipsis in its middle, and
// shows the whole path as a tooltip; its Caption stays whole.
struct LabelArgs {
  const wchar_t* caption;
  Twips place;
  int tabIndex;
  COLORREF background = CLR_INVALID;  // the form's colour
  COLORREF textColor = CLR_INVALID;   // the system's window text colour
  bool frame = false;                 // a single-line border
  int cursorId = 0;                   // a mouse pointer from the program's resources
  bool showsPath = false;
};

class Label : public Control {
 public:
  Label(Form& form, const LabelArgs& args);
  std::function<void()> Click;
  std::wstring Caption() const;
  void SetCaption(std::wstring_view caption);

 private:
  void OnCommand(WORD code) override;
  HBRUSH OnColor(HDC dc) override;
  HCURSOR Cursor() const override { return cursor_; }
  void OnDpiChanged() override { FitCaption(); }
  void FitCaption();

  COLORREF textColor_;
  COLORREF background_;
  zol::UniqueBrush brush_;
  HCURSOR cursor_;          // shared from the resources: not ours to destroy
  HWND tooltip_ = nullptr;  // owned by the form's window, which destroys it
};

struct TextBoxArgs {
  const wchar_t* text;
  Twips place;
  int tabIndex;
  bool visible = true;  // a hidden box holds its text for the handlers and takes no focus
};

class TextBox : public Control {
 public:
  TextBox(Form& form, const TextBoxArgs& args);
  std::function<void()> Change;
  std::wstring Text() const;
  void SetText(std::wstring_view text);

 private:
  void OnCommand(WORD code) override;
  bool settingText_ = false;  // Win32's echo of our own setting is no change of the user's
};

struct ListArgs {
  Twips place;
  int tabIndex;
};

// A drop-down list of the machine's drives. Its value is the selected entry's text: the drive
// letter and a colon, then, for a local fixed disk, its volume label in brackets when it has one
// ("c: [SYSTEM]").
class DriveList : public Control {
 public:
  DriveList(Form& form, const ListArgs& args);
  std::function<void()> Change;
  std::wstring Drive() const;
  // Selects the drive named by the text's first character; CannotReadFolder for no such drive.
  void SetDrive(std::wstring_view text);

 private:
  void OnCommand(WORD code) override;
  void Fill();
  int IndexOf(wchar_t letter) const;
};

// The folders from the root down to the shown folder, each one step further in with an open
// folder, then the shown folder's subfolders with a closed one. A click highlights an entry; a
// double click or Enter opens it.
class DirList : public Control {
 public:
  DirList(Form& form, const ListArgs& args);
  std::function<void()> Change;
  std::function<void()> Click;
  std::function<void()> LostFocus;

  // The shown folder: a full path, with a backslash at the end only at a root.
  const std::wstring& Path() const { return path_; }
  // Moves to a folder, or, given a drive text ("c:" and anything after it), to the folder last
  // shown on that drive or else that drive's current folder. A folder without a drive is taken on
  // the shown folder's drive. CannotReadFolder when the folder or drive cannot be read.
  void SetPath(std::wstring_view path);
  // The full path of an entry; ListIndex is the highlighted one.
  std::wstring List(int index) const;
  int ListIndex() const;

 private:
  struct Entry {
    std::wstring path;
    int level;
    bool open;
  };
  void OnCommand(WORD code) override;
  void OnEnterKey() override;
  void OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnDpiChanged() override;
  void OpenHighlighted();
  std::wstring FullPath(std::wstring_view path) const;

  std::wstring path_;
  std::vector<Entry> entries_;
  std::map<wchar_t, std::wstring> driveFolders_;  // the folder last shown on each drive
};

struct FileListArgs {
  Twips place;
  int tabIndex;
  const wchar_t* pattern;
};

// The files of a folder whose names match the pattern, sorted. A right click on a file selects it
// and runs Click, then ContextMenu; Shift+F10 and the menu key run ContextMenu for the selected
// file.
class FileList : public Control {
 public:
  FileList(Form& form, const FileListArgs& args);
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void()> ContextMenu;
  // Where the menu that ContextMenu opens belongs, on the screen.
  POINT MenuPoint() const { return menuPoint_; }
  // Shows the folder's files; CannotReadFolder when it cannot be read.
  void SetPath(std::wstring_view folder);
  // The highlighted file's name, without its folder; empty when none is highlighted.
  std::wstring FileName() const;

 private:
  void OnCommand(WORD code) override;
  void OnContextMenu(POINT at) override;
  std::wstring pattern_;
  POINT menuPoint_{};
};

// Registers a class of the program's windows, with its icon and the arrow pointer.
bool RegisterWindowClass(const wchar_t* name, WNDPROC windowProc);

// Ends the program at once from inside a handler: no handler runs after it.
[[noreturn]] void EndProgram();

// Starts the program at the path given, with the arguments given, its window shown normally,
// without waiting for it. Throws CannotStart when it cannot be started.
void Launch(const std::wstring& program, std::wstring_view arguments = {});

// A program started to serve a window for a while. It runs in a job that ends it when the job's
// handle closes, so that it never outlives its owner, even one that is killed.
class HelperProgram {
 public:
  // Starts the program as Launch does, in the folder given. Throws CannotStart.
  HelperProgram(const std::wstring& program, std::wstring_view arguments,
                const std::wstring& folder);
  // Gives the program the time given to end by itself, then ends it. Nothing here waits for that:
  // the program is handed to a thread of its own, and this object holds nothing afterwards.
  void Stop(DWORD milliseconds);

 private:
  zol::UniqueHandle job_, process_;
};

// A small window of its own beside a form and owned by it, which shows a screen saver at work in a
// picture of 4:3. The screen saver is started as "<path>" /p <the picture's handle>, in its file's
// folder, and draws into a window of its own over the picture. Stopping it destroys the picture,
// which ends a screen saver that behaves; one that has not ended a second later is ended. Neither
// holds the window: the next screen saver starts at once.
class Preview {
 public:
  // The text of the picture when no screen saver is shown.
  Preview(const Form& owner, std::wstring_view none) : owner_(owner), none_(none) {}
  ~Preview() { Close(); }
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // Opens the window, showing the screen saver at the path given, unless it is open already.
  void Open(const std::wstring& screenSaver);
  // While the window is open, shows the screen saver at the path given, or none for an empty
  // path. One that cannot be started says so in the picture.
  void Show(const std::wstring& screenSaver);
  void Close();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The size of the window for a picture at the DPI given.
  static SIZE FrameSize(UINT dpi);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void Stop();

  const Form& owner_;
  const std::wstring none_;
  std::wstring shown_;
  UINT dpi_ = 96;
  zol::UniqueWindow window_, picture_;
  std::optional<HelperProgram> running_;
};

// Opens a menu at a point of the screen for the window given, as a right click opens one, and waits
// for the choice: the command of the item chosen, or 0 for none.
UINT ChooseFromMenu(HWND owner, POINT at, HMENU menu);
// The same for a menu of the items: the index of the item chosen, or -1 for none.
int ChooseFromMenu(HWND owner, POINT at, std::initializer_list<const wchar_t*> items);

// The error report: a message box titled with the caption, over the window given (or none).
void ShowError(HWND owner, const std::wstring& caption, const zol::Error& error);

// The window text of a control.
std::wstring WindowText(HWND hwnd);
// The width of a control's text on one line in the control's font, in pixels.
int TextWidth(HWND hwnd);

}  // namespace forms
