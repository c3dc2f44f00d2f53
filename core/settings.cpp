#include "settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cp932.h"
#include "error.h"
#include "textfile.h"

namespace zol {
namespace {

constexpr const wchar_t* kSystemIniDriveKey = L"System.iniのあるドライブ =";
constexpr const wchar_t* kSystemIniDirKey = L"system.iniのあるディレクトリ=";
constexpr const wchar_t* kFavouriteDriveKey = L"お気に入りのスクリーンセイバーのあるドライブ =";
constexpr const wchar_t* kFavouriteDirKey = L"お気に入りのスクリーンセイバーのあるディレクトリ=";
constexpr const wchar_t* kFavouriteNameKey = L"お気に入りのスクリーンセイバー名 =";
constexpr const wchar_t* kAlternateNameKey = L"代替えのスクリーンセイバー名 =";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The longest line that a field may be, in bytes; a longer one is refused, not shown.
constexpr size_t kLongestField = 32767;

// Reads the file field by field, one field a line: blanks before a field are skipped; a field in
// double quotes runs to the closing quote on its line; any other field runs to the end of its
// line, commas included, so that a folder name with a comma stays whole. What follows a field on
// its line is passed over. No field ever reaches into the next line.
class FieldReader {
 public:
  FieldReader(std::string_view bytes, const Path& file) : bytes_(bytes), file_(file) {}

  std::string Next() {
    ++line_;
    while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
    if (pos_ >= bytes_.size()) Fail(ErrorKind::InputPastEnd);
    const size_t lineEnd = LineEnd(pos_);
    const bool quoted = bytes_[pos_] == '"';
    const size_t start = pos_ + quoted;
    const size_t end = quoted ? std::min(bytes_.find('"', start), lineEnd) : lineEnd;
    if (end - start > kLongestField) Fail(ErrorKind::LineTooLong);
    pos_ = lineEnd;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    return std::string(bytes_.substr(start, end - start));
  }

  // Refuses the field last read.
  [[noreturn]] void Fail(ErrorKind kind) const {
    throw Error(kind, FullPath(file_), LineDetail(line_));
  }

 private:
  size_t LineEnd(size_t from) const {
    while (from < bytes_.size() && !IsLineEnd(bytes_[from])) ++from;
    return from;
  }

  std::string_view bytes_;
  const Path& file_;
  size_t pos_ = 0;
  int line_ = 0;
};

std::optional<float> ParseNumber(std::string_view field) {
  while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  if (field.size() > 1 && field.front() == '+' && field[1] != '-') field.remove_prefix(1);
  // Decimal notation only: strtof alone would also take hexadecimal, "inf" and "nan".
  if (field.empty() || field.find_first_not_of("0123456789.eE+-") != field.npos) {
    return std::nullopt;
  }
  const std::string text(field);
  char* end = nullptr;
  errno = 0;
  const float value = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE) {
    return std::nullopt;
  }
  return value;
}

float ReadPosition(FieldReader& fields, SettingsForm form) {
  const std::optional<float> value = ParseNumber(fields.Next());
  if (!value && form == SettingsForm::Configurator) fields.Fail(ErrorKind::TypeMismatch);
  return value.value_or(0);
}

// The shortest text of the number, with at most seven significant digits.
std::string NumberText(float value) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%.7g", value == 0 ? 0.0 : value);
  return std::string(text, length);
}

std::string PositionLine(float value, SettingsForm form) {
  if (form == SettingsForm::Configurator) return NumberText(value);
  std::string line = value < 0 ? "" : " ";
  line += NumberText(value);
  line += ' ';
  return line;
}

std::string KeyedLine(const wchar_t* key, std::string_view line) {
  return *EncodeCp932Strict(key) + std::string(ValueAfterEquals(line));
}

// Whether the bytes are UTF-8 holding at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes) {
  bool beyondAscii = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const size_t length = lead < 0x80                    ? 1
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    beyondAscii |= length > 1;
    i += length;
  }
  return beyondAscii;
}

// Today's editors save as UTF-8 by default: such a file would be read as garbled paths and
// written back garbled, so it is refused before anything is taken from it.
void RefuseUtf8(std::string_view bytes, const Path& file) {
  if (bytes.starts_with("\xEF\xBB\xBF") ||
      (!DecodeCp932Strict(bytes) && IsUtf8BeyondAscii(bytes))) {
    throw Error(ErrorKind::NotShiftJis, FullPath(file));
  }
}

}  // namespace

Settings ReadSettings(const Path& file, SettingsForm form) {
  const std::string bytes = ReadFileBytes(file);
  RefuseUtf8(bytes, file);
  FieldReader fields(bytes, file);
  Settings settings;
  settings.SystemIniDrive = fields.Next();
  settings.SystemIniDir = fields.Next();
  settings.FavouriteDrive = fields.Next();
  settings.FavouriteDir = fields.Next();
  settings.ControlPanelDriveLine = fields.Next();
  settings.ControlPanelDirLine = fields.Next();
  settings.FavouriteName = fields.Next();
  settings.AlternateName = fields.Next();
  settings.WindowTop = ReadPosition(fields, form);
  settings.WindowLeft = ReadPosition(fields, form);
  return settings;
}

void WriteSettings(const Path& file, const Settings& settings, SettingsForm form, float windowTop,
                   float windowLeft) {
  const bool configurator = form == SettingsForm::Configurator;
  ReplaceFileBytes(file, JoinLines({
                             KeyedLine(kSystemIniDriveKey, settings.SystemIniDrive),
                             KeyedLine(kSystemIniDirKey, settings.SystemIniDir),
                             KeyedLine(kFavouriteDriveKey, settings.FavouriteDrive),
                             KeyedLine(kFavouriteDirKey, settings.FavouriteDir),
                             settings.ControlPanelDriveLine,
                             settings.ControlPanelDirLine,
                             configurator ? settings.FavouriteName
                                          : KeyedLine(kFavouriteNameKey, settings.FavouriteName),
                             configurator ? settings.AlternateName
                                          : KeyedLine(kAlternateNameKey, settings.AlternateName),
                             PositionLine(windowTop, form),
                             PositionLine(windowLeft, form),
                         }));
}

std::string_view ValueAfterEquals(std::string_view line) {
  const size_t equals = line.find('=');
  return equals == line.npos ? line : line.substr(equals + 1);
}

std::wstring_view ValueAfterEquals(std::wstring_view line) {
  const size_t equals = line.find(L'=');
  return equals == line.npos ? line : line.substr(equals + 1);
}

std::wstring ValueText(std::string_view line) { return FromCp932(ValueAfterEquals(line)); }

Path SystemIniPath(const Settings& settings) {
  return ToPath(ValueText(settings.SystemIniDrive) + ValueText(settings.SystemIniDir) +
                L"system.ini");
}

std::wstring ControlPanelCommand(const Settings& settings) {
  return ValueText(settings.ControlPanelDriveLine) + ValueText(settings.ControlPanelDirLine) +
         L"control.exe";
}

}  // namespace zol
