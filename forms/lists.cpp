#include <shlwapi.h>

#include <algorithm>
#include <cwctype>

#include "forms.h"

namespace forms {
namespace {

// A drive text is a drive letter and a colon, and anything but a path after them.
bool IsDriveText(std::wstring_view text) {
  return text.size() >= 2 && text[1] == L':' && iswalpha(text[0]) &&
         (text.size() == 2 || (text[2] != L'\\' && text[2] != L'/'));
}

std::wstring FullPathName(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length > full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  }
  full.resize(length);
  if (full.size() >= 2 && full[1] == L':') full[0] = towupper(full[0]);
  if (full.size() > 3 && full.back() == L'\\') full.pop_back();  // only a root keeps its own
  return full;
}

std::wstring ListText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::wstring text(length + 1, L'\0');
  text.resize(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
  return text;
}

// A small folder glyph: a tab and a body, and an open folder's front leaning back.
void DrawFolder(HDC dc, RECT box, bool open) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  const zol::UniqueBrush fill(CreateSolidBrush(RGB(0xF4, 0xC8, 0x4A)));
  const zol::UniqueBrush front(CreateSolidBrush(RGB(0xFF, 0xE4, 0x8C)));
  const zol::SelectedObject pen(dc, GetStockObject(BLACK_PEN));
  const zol::SelectedObject brush(dc, fill.get());
  const POINT body[] = {{box.left, box.top + h / 5},
                        {box.left + w * 2 / 5, box.top + h / 5},
                        {box.left + w / 2, box.top + h * 2 / 5},
                        {box.right, box.top + h * 2 / 5},
                        {box.right, box.bottom},
                        {box.left, box.bottom}};
  Polygon(dc, body, static_cast<int>(std::size(body)));
  if (open) {
    const zol::SelectedObject lidBrush(dc, front.get());
    const POINT lid[] = {{box.left + w / 5, box.top + h / 2},
                         {box.right + w / 6, box.top + h / 2},
                         {box.right, box.bottom},
                         {box.left, box.bottom}};
    Polygon(dc, lid, static_cast<int>(std::size(lid)));
  }
}

}  // namespace

TextBox::TextBox(Form& form, const TextBoxArgs& args)
    : Control(form, L"EDIT",
              WS_BORDER | ES_AUTOHSCROLL | (args.visible ? WS_VISIBLE | WS_TABSTOP : 0), args.text,
              args.place, args.tabIndex) {}

std::wstring TextBox::Text() const { return WindowText(hwnd_); }

void TextBox::SetText(std::wstring_view text) {
  if (text == Text()) return;
  settingText_ = true;
  SetWindowTextW(hwnd_, std::wstring(text).c_str());
  settingText_ = false;
  if (Change) Change();
}

void TextBox::OnCommand(WORD code) {
  if (code == EN_CHANGE && !settingText_) form_.Dispatch(Change);
}

// A drop-down list's height is that of the list when it is open.
DriveList::DriveList(Form& form, const ListArgs& args)
    : Control(form, L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, L"",
              {args.place.left, args.place.top, args.place.width, args.place.height * 8},
              args.tabIndex) {
  Fill();
  wchar_t current[MAX_PATH];
  if (GetCurrentDirectoryW(MAX_PATH, current)) {
    SendMessageW(hwnd_, CB_SETCURSEL, IndexOf(towlower(current[0])), 0);
  }
}

std::wstring DriveList::Drive() const { return WindowText(hwnd_); }

void DriveList::SetDrive(std::wstring_view text) {
  const wchar_t letter = text.empty() ? L'\0' : towlower(text[0]);
  int index = IndexOf(letter);
  if (index < 0) {
    Fill();  // a drive that has come since
    index = IndexOf(letter);
  }
  if (index < 0) throw zol::Error(zol::ErrorKind::CannotReadFolder, std::wstring(text));
  if (index == SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) return;
  SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
  if (Change) Change();
}

void DriveList::OnCommand(WORD code) {
  if (code == CBN_SELCHANGE) form_.Dispatch(Change);
}

void DriveList::Fill() {
  const std::wstring selected = Drive();
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  wchar_t drives[512];
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives)), drives);
  for (const wchar_t* root = drives; root < drives + length && *root; root += wcslen(root) + 1) {
    std::wstring entry = {static_cast<wchar_t>(towlower(root[0])), L':'};
    // Only a local fixed disk answers at once: a network drive may stall for seconds.
    wchar_t label[MAX_PATH + 1] = L"";
    if (GetDriveTypeW(root) == DRIVE_FIXED &&
        GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
        *label) {
      entry += L" [" + std::wstring(label) + L"]";
    }
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  if (!selected.empty()) SendMessageW(hwnd_, CB_SETCURSEL, IndexOf(selected[0]), 0);
}

int DriveList::IndexOf(wchar_t letter) const {
  const int count = static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[MAX_PATH + 8];
    if (SendMessageW(hwnd_, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(std::size(text))) {
      continue;
    }
    SendMessageW(hwnd_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    if (text[0] == letter) return i;
  }
  return -1;
}

DirList::DirList(Form& form, const ListArgs& args)
    : Control(form, L"LISTBOX",
              WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                  LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
              L"", args.place, args.tabIndex) {
  OnDpiChanged();
  try {
    SetPath(L".");  // it opens on the working directory
  } catch (const zol::Error&) {
    // and stays empty when that cannot be read
  }
}

void DirList::SetPath(std::wstring_view path) {
  const std::wstring full = FullPath(path);
  if (full.size() < 3 || full[1] != L':') {  // the list shows folders on drives
    throw zol::Error(zol::ErrorKind::CannotReadFolder, std::wstring(path));
  }
  if (zol::SameName(full, path_)) return;
  const std::vector<std::wstring> subfolders = zol::ListFolder(full, zol::Entries::Folders);

  entries_.clear();
  size_t end = full.find(L'\\') + 1;  // the root, "C:\"
  entries_.push_back({full.substr(0, end), 0, true});
  while (end < full.size()) {
    end = std::min(full.find(L'\\', end), full.size());
    entries_.push_back({full.substr(0, end), static_cast<int>(entries_.size()), true});
    ++end;
  }
  const int shown = static_cast<int>(entries_.size()) - 1;
  const std::wstring parent = full.back() == L'\\' ? full : full + L'\\';
  for (const std::wstring& name : subfolders) entries_.push_back({parent + name, shown + 1, false});

  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  for (const Entry& entry : entries_) {
    const size_t slash = entry.path.find_last_of(L'\\', entry.path.size() - 2);
    const std::wstring name = entry.level == 0 ? entry.path : entry.path.substr(slash + 1);
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(hwnd_, LB_SETCURSEL, shown, 0);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);

  path_ = full;
  driveFolders_[towupper(full[0])] = full;
  if (Change) Change();
}

std::wstring DirList::List(int index) const {
  return index >= 0 && index < static_cast<int>(entries_.size()) ? entries_[index].path : path_;
}

int DirList::ListIndex() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }

std::wstring DirList::FullPath(std::wstring_view path) const {
  std::wstring text(path);
  if (IsDriveText(text)) {
    const auto remembered = driveFolders_.find(towupper(text[0]));
    if (remembered != driveFolders_.end()) return remembered->second;
    text = text.substr(0, 2);  // that drive's current folder
  } else if (!path_.empty() && text.starts_with(L'\\') && !text.starts_with(L"\\\\")) {
    text = path_.substr(0, 2) + text;  // the shown folder's drive
  } else if (!path_.empty() && PathIsRelativeW(text.c_str())) {
    text = path_ + (path_.back() == L'\\' ? L"" : L"\\") + text;
  }
  return FullPathName(text);
}

void DirList::OnCommand(WORD code) {
  switch (code) {
    case LBN_SELCHANGE:
      form_.Dispatch(Click);
      break;
    case LBN_DBLCLK:
      form_.Dispatch([this] { OpenHighlighted(); });
      break;
    case LBN_KILLFOCUS:
      form_.Dispatch(LostFocus);
      break;
  }
}

void DirList::OnEnterKey() {
  form_.Dispatch([this] { OpenHighlighted(); });
}

void DirList::OpenHighlighted() { SetPath(List(ListIndex())); }

void DirList::OnDpiChanged() { SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, form_.ItemHeight()); }

void DirList::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID >= entries_.size()) return;
  const Entry& entry = entries_[item.itemID];
  const bool selected = item.itemState & ODS_SELECTED;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int indent = item.rcItem.left + 2 + entry.level * height * 3 / 4;
  DrawFolder(item.hDC, {indent, item.rcItem.top + 2, indent + height - 4, item.rcItem.bottom - 3},
             entry.open);
  RECT text = item.rcItem;
  text.left = indent + height;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring name = ListText(hwnd_, item.itemID);
  DrawTextW(item.hDC, name.c_str(), -1, &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

FileList::FileList(Form& form, const FileListArgs& args)
    : Control(form, L"LISTBOX",
              WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              L"", args.place, args.tabIndex),
      pattern_(args.pattern) {}

void FileList::SetPath(std::wstring_view folder) {
  const std::vector<std::wstring> names =
      zol::ListFolder(std::wstring(folder), zol::Entries::Files, pattern_.c_str());
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& name : names) {
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
}

std::wstring FileList::FileName() const {
  const int index = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
  return index < 0 ? L"" : ListText(hwnd_, index);
}

void FileList::OnContextMenu(POINT at) {
  // The place of an entry in the list; false for no entry.
  RECT item;
  const auto itemRect = [&](WPARAM index) {
    return SendMessageW(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR;
  };
  if (at.x == -1 && at.y == -1) {  // from the keyboard: at the selected file
    if (!itemRect(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0))) return;
    at = {item.left, item.bottom};
    ClientToScreen(hwnd_, &at);
  } else {  // the list box selects nothing on a right click by itself
    POINT inside = at;
    ScreenToClient(hwnd_, &inside);
    const LRESULT hit = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(inside.x, inside.y));
    if (HIWORD(hit) || !itemRect(LOWORD(hit)) || !PtInRect(&item, inside)) return;  // on no file
    SendMessageW(hwnd_, LB_SETCURSEL, LOWORD(hit), 0);
    if (!form_.Dispatch(Click) || form_.Ended()) return;
  }
  menuPoint_ = at;
  form_.Dispatch(ContextMenu);
}

void FileList::OnCommand(WORD code) {
  if (code == LBN_SELCHANGE) form_.Dispatch(Click);
  if (code == LBN_DBLCLK) form_.Dispatch(DblClick);
}

}  // namespace forms
