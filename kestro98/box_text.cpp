#include "kestro98/box_text.h"

#include <string>

#include "common/base/text.h"

namespace kestro {

namespace {

UINT StyleOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kError: return MB_ICONHAND;
    case BoxIcon::kExclamation: return MB_ICONEXCLAMATION;
    case BoxIcon::kInformation: return MB_ICONASTERISK;
    case BoxIcon::kQuestion: return MB_YESNO | MB_ICONQUESTION;
  }
  return MB_ICONHAND;
}

}  // namespace

int ShowBoxText(HWND owner, const BoxText& box, const char* ansiArgument) {
  std::string text = ToAnsi(Pick(box.english, box.japanese));
  if (ansiArgument != nullptr) {
    // '%' is never the second byte of a double-byte character.
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, ansiArgument);
  }
  const std::string title = ToAnsi(Pick(box.englishTitle, box.japaneseTitle));
  return MessageBoxA(owner, text.c_str(), title.c_str(), StyleOf(box.icon));
}

int ShowBoxTextAs(HWND owner, const BoxText& box, const char* utf8Text) {
  const std::string text = ToAnsi(utf8Text);
  const std::string title = ToAnsi(Pick(box.englishTitle, box.japaneseTitle));
  return MessageBoxA(owner, text.c_str(), title.c_str(), StyleOf(box.icon));
}

}  // namespace kestro
