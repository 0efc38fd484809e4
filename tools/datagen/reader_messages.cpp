// The one OS service the game's readers need besides the file mapping: their
// message box, which here keeps the text instead of showing it.
#include "reader_messages.h"

#include "platform/platform.h"

std::string& lastReaderMessage() {
  static std::string text;
  return text;
}

Answer platformMessageBox(const char* text, const char*, MessageButtons, MessageIcon, bool) {
  lastReaderMessage() = text != nullptr ? text : "";
  return Answer::Ok;
}
