// The one error type of the programs. The core throws it with the kind of failure and the file
// or command concerned; the window layer catches it at the one place that shows the error report.
#pragma once

#include <exception>
#include <string>

namespace zol {

enum class ErrorKind {
  FileNotFound,      // a file to read is not there
  InputPastEnd,      // the settings file ends before its tenth line
  TooManyLines,      // system.ini holds more lines than a rewrite can hold
  TypeMismatch,      // a window position that is no number
  AccessDenied,      // a file that is write-protected or cannot be opened
  WriteFailed,       // a write that did not complete (a full disk, for one)
  NotRepresentable,  // a character that code page 932 cannot hold
  NoPlaceForEntry,   // system.ini has neither a screen-saver line nor a DisplayFallback line
  CannotStart,       // a program that cannot be started
  CannotReadFolder,  // a drive or folder that cannot be read
  NothingPicked,     // no screen-saver file has been picked yet
};

class Error : public std::exception {
 public:
  Error(ErrorKind kind, std::wstring subject) : kind_(kind), subject_(std::move(subject)) {}

  ErrorKind Kind() const { return kind_; }
  const std::wstring& Subject() const { return subject_; }
  // What the user reads: the failure in Japanese, then the file or command concerned.
  std::wstring Text() const;
  const char* what() const noexcept override;

 private:
  ErrorKind kind_;
  std::wstring subject_;
};

}  // namespace zol
