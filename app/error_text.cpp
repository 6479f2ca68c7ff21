#include "app/error_text.h"

#include "platform/text.h"

namespace zinnow {

AnsiString ErrorBoxText(const AnsiString& message, const CodePage& page) {
  if (message.empty()) return message;
  const auto first = static_cast<unsigned char>(message[LastCharStart(message, page)]);
  return first > '.' ? message + "." : message;
}

ShownText ErrorBoxText(const ShownText& message, const CodePage& systemPage) {
  if (message.Parts().empty()) return message;
  const ShownText::Part& last = message.Parts().back();
  const CodePage page = last.fixed ? ShiftJisCodePage() : systemPage;
  ShownText text = message;
  if (ErrorBoxText(last.bytes, page).size() > last.bytes.size()) text.AddFixed(".");
  return text;
}

}  // namespace zinnow
