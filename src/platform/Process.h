#pragma once
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/Status.h"

namespace platform {

// How a started program's window shows: normally, and activated.
constexpr int kShowNormal = 1;

// Keys the window's handlers tell apart, by the platform's key codes.
namespace key {
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kF5 = 116;
}  // namespace key

// Exit statuses of the process.
namespace exitcode {
constexpr int kSaved = 0;
constexpr int kOther = 1;
constexpr int kRefused = 2;
}  // namespace exitcode

class Process {
 public:
  virtual ~Process() = default;
  // The arguments as one text, exactly as typed after the program's path.
  virtual std::wstring commandLine() = 0;
  virtual std::wstring currentDirectory() = 0;
  virtual util::Status setCurrentDirectory(const std::wstring& path) = 0;
  // Directory holding the running executable, without a trailing separator.
  virtual std::wstring programDirectory() = 0;
  // The running executable's file name without directory and extension ("Brimlo").
  virtual std::wstring programName() = 0;
  // The running executable's full path.
  virtual std::wstring programPath() = 0;
  // The user's directory for short-lived files, with a trailing separator; "" when unknown.
  virtual std::wstring temporaryDirectory() = 0;
  // Starts a command line with a show-window state; returns the process id, 0 on failure. The
  // application is the program's file, given so that the system runs exactly that file; empty,
  // the system takes the program from the start of the command line.
  [[nodiscard]] virtual std::uint32_t startProcess(const std::wstring& application,
                                                   const std::wstring& commandLine,
                                                   int showState) = 0;
  virtual void beep() = 0;
  // Lets the window handle its pending messages (repaints, input) before a long step.
  virtual void processPendingMessages() = 0;
  // The platform's text for an error code.
  virtual std::wstring errorText(std::uint32_t code) = 0;
  // Ends the program at once; nothing of the program runs after it.
  [[noreturn]] void exit(int status) {
    end(status);
    std::abort();  // end() never returns
  }

 protected:
  // Ends the process (or, in a test, leaves the program by an exception); never returns.
  virtual void end(int status) = 0;
};

}  // namespace platform
