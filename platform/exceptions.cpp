#include "platform/exceptions.h"

#include <cstring>

#include "platform/messages.h"

namespace zinnow {

AnsiString FormatMessageText(const char* pattern, const AnsiString& argument) {
  AnsiString text(pattern);
  const std::size_t at = text.find("%s");
  if (at != AnsiString::npos) text.replace(at, 2, argument);
  return text;
}

EOutOfResources::EOutOfResources(AnsiString systemText)
    : Exception(systemText.empty() ? AnsiString(messages::kOutOfResources)
                                   : std::move(systemText)) {}

EFCreateError::EFCreateError(const AnsiString& path)
    : EStreamError(FormatMessageText(messages::kCannotCreateFile, path)) {}

EWriteError::EWriteError() : EStreamError(messages::kStreamWriteError) {}

}  // namespace zinnow
