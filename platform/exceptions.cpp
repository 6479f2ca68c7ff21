#include "platform/exceptions.h"

#include <cstring>

#include "platform/messages.h"

namespace zinnow {

ShownText FormatShownText(const char* pattern, const AnsiString& argument) {
  const AnsiString text(pattern);
  const std::size_t at = text.find("%s");
  if (at == AnsiString::npos) return ShownText::Fixed(text);
  return ShownText::Fixed(text.substr(0, at)).AddSystem(argument).AddFixed(text.substr(at + 2));
}

EOutOfResources::EOutOfResources(AnsiString systemText)
    : Exception(systemText.empty() ? ShownText::Fixed(messages::kOutOfResources)
                                   : ShownText::System(systemText)) {}

EFCreateError::EFCreateError(const AnsiString& path)
    : EStreamError(FormatShownText(messages::kCannotCreateFile, path)) {}

EWriteError::EWriteError() : EStreamError(messages::kStreamWriteError) {}

}  // namespace zinnow
