// Programs started from the windows: one that goes on by itself, and a helper that serves a window
// for a while and never outlives the program that started it.
// https://learn.microsoft.com/windows/win32/procthread/job-objects
#include <memory>

#include "forms.h"

namespace forms {
namespace {

struct Started {
  zol::UniqueHandle process, thread;
};

// Starts the program at the path given, with the arguments given, its window shown normally.
Started Start(const std::wstring& program, std::wstring_view arguments, const wchar_t* folder,
              DWORD flags) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + std::wstring(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (program.empty() || !CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                                         FALSE, flags, nullptr, folder, &startup, &process)) {
    throw zol::Error(zol::ErrorKind::CannotStart, program);
  }
  return {zol::UniqueHandle(process.hProcess), zol::UniqueHandle(process.hThread)};
}

// A helper that is being stopped, on a thread of its own: it has the time given to end by itself,
// then its job ends it. Should the program end first, closing the job ends the helper all the same.
struct Ending {
  zol::UniqueHandle job, process;
  DWORD milliseconds;
};

DWORD WINAPI EndInTime(void* context) {
  const std::unique_ptr<Ending> ending(static_cast<Ending*>(context));
  WaitForSingleObject(ending->process.get(), ending->milliseconds);
  TerminateJobObject(ending->job.get(), 1);
  return 0;
}

}  // namespace

void Launch(const std::wstring& program, std::wstring_view arguments) {
  Start(program, arguments, nullptr, 0);
}

// Started suspended, so that it is in the job before it can start anything of its own.
HelperProgram::HelperProgram(const std::wstring& program, std::wstring_view arguments,
                             const std::wstring& folder)
    : job_(CreateJobObjectW(nullptr, nullptr)) {
  Started started = Start(program, arguments, folder.c_str(), CREATE_SUSPENDED);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
  limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job_ ||
      !SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limit,
                               sizeof limit) ||
      !AssignProcessToJobObject(job_.get(), started.process.get())) {
    TerminateProcess(started.process.get(), 1);
    throw zol::Error(zol::ErrorKind::CannotStart, program);
  }
  ResumeThread(started.thread.get());
  process_ = std::move(started.process);
}

// Where no thread can be had, the job is closed at once, which ends the helper now.
void HelperProgram::Stop(DWORD milliseconds) {
  auto ending = std::make_unique<Ending>(std::move(job_), std::move(process_), milliseconds);
  const zol::UniqueHandle thread(CreateThread(nullptr, 64 * 1024, EndInTime, ending.get(),
                                              STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (thread) ending.release();
}

}  // namespace forms
