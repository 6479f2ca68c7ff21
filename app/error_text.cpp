#include "app/error_text.h"

#include "platform/text.h"

namespace zinnow {

AnsiString ErrorBoxText(const AnsiString& message, const CodePage& page) {
  if (message.empty()) return message;
  const auto first = static_cast<unsigned char>(message[LastCharStart(message, page)]);
  return first > '.' ? message + "." : message;
}

}  // namespace zinnow
