#pragma once

#include <exception>

#include "platform/ansi_string.h"

namespace zinnow {

// Runtime failures travel as these; their messages are shown to the user as they are.
class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  const AnsiString& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

// The clipboard's data cannot be made into a picture.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// The graphics system refused an object. Without a text of the system's own it says that
// resources are short.
class EOutOfResources : public Exception {
 public:
  explicit EOutOfResources(AnsiString systemText);
};

// Base of the file stream failures.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A file could not be created; the message names its path.
class EFCreateError : public EStreamError {
 public:
  explicit EFCreateError(const AnsiString& path);
};

// A write stored fewer bytes than asked.
class EWriteError : public EStreamError {
 public:
  EWriteError();
};

// A drawing surface could not be had.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// "%s" in a message text replaced by an argument, once; the argument is never read as a pattern.
AnsiString FormatMessageText(const char* pattern, const AnsiString& argument);

}  // namespace zinnow
