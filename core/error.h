// The one error type of the programs. The core throws it with the kind of failure, the file or
// command concerned (a full path) and, where it helps, a detail such as the line of the file; the
// window layer turns anything else that a handler throws into it, and shows it at the one place
// that shows the error report.
#pragma once

#include <exception>
#include <string>

namespace zol {

enum class ErrorKind {
  FileNotFound,      // a file to read is not there
  InputPastEnd,      // the settings file ends before its tenth line
  LineTooLong,       // a settings line longer than a field may be
  TooManyLines,      // system.ini holds more lines than a rewrite can hold
  TypeMismatch,      // a window position that is no number
  AccessDenied,      // a file that is write-protected
  InUse,             // a file that another program holds open or locked
  FolderRefuses,     // a folder in which no new file can be made
  IsFolder,          // a folder where a file should be
  DiskFull,          // the disk has no room for the new file
  CannotRead,        // a file whose bytes cannot be read
  WriteFailed,       // a write that did not complete for another reason
  NotRepresentable,  // a character that code page 932 cannot hold
  LineBreakInValue,  // a new entry value holding CR, LF or NUL, which would add lines
  NoPlaceForEntry,   // system.ini has neither a screen-saver line nor a DisplayFallback line
  CannotStart,       // a program that cannot be started
  CannotReadFolder,  // a drive or folder that cannot be read
  NothingPicked,     // no screen-saver file has been picked yet
  NotShiftJis,       // a settings file saved as UTF-8
  RegistryFailed,    // the NT family's registry record of the screen saver cannot be written
  PolicyDecides,     // the administrator's policy fixes the screen saver: a choice has no effect
  NothingToPause,    // a pause while the screen saver is off already
  NotOnThisWindows,  // a setting that this Windows does not have
  Unexpected,        // anything else: the detail says what
};

// The detail that names a line of a file, counted from 1.
inline std::wstring LineDetail(size_t line) { return std::to_wstring(line) + L" 行目"; }

class Error : public std::exception {
 public:
  Error(ErrorKind kind, std::wstring subject, std::wstring detail = {})
      : kind_(kind), subject_(std::move(subject)), detail_(std::move(detail)) {}

  ErrorKind Kind() const { return kind_; }
  const std::wstring& Subject() const { return subject_; }
  // The same failure, met after the screen saver had already been changed: the text says so.
  Error AfterEntryChanged() const;
  // What the user reads: the failure and what to do in Japanese, the file or command concerned
  // (a long path cut in the middle), then the detail.
  std::wstring Text() const;
  const char* what() const noexcept override;

 private:
  ErrorKind kind_;
  std::wstring subject_;
  std::wstring detail_;
  bool afterEntryChanged_ = false;
};

}  // namespace zol
