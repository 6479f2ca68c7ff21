#pragma once

#include <exception>

#include "platform/ansi_string.h"
#include "platform/shown_text.h"

namespace zinnow {

// Runtime failures travel as these; their messages are shown to the user as they are.
class Exception : public std::exception {
 public:
  // One of the program's own message texts.
  explicit Exception(const AnsiString& message) : Exception(ShownText::Fixed(message)) {}
  explicit Exception(ShownText message) : shown_(std::move(message)), message_(shown_.Bytes()) {}
  const AnsiString& Message() const noexcept { return message_; }
  // The message in its parts, for showing it on a system of any code page.
  const ShownText& Shown() const noexcept { return shown_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  ShownText shown_;
  AnsiString message_;
};

// The clipboard's data cannot be made into a picture.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// The system refused to make an object: a window, a window class, a font, a drawing object.
// Without a text of the system's own it says that resources are short.
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

// "%s" in a message text replaced by an argument, once, the argument never read as a pattern: the
// message text fixed, the argument as the system's or the user's text.
ShownText FormatShownText(const char* pattern, const AnsiString& argument);

}  // namespace zinnow
