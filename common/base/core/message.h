// The one shape of a user-visible text in both languages and of a message
// box: its text, its title and its icon. Every message of both programs and
// of the shared layers is a table entry of this shape (UTF-8 in the sources);
// the Win32 layer shows it with ShowMessage (common/base/text.h).
#pragma once

// A text in both languages, UTF-8.
struct BilingualText {
  const char* english;
  const char* japanese;
};

// The icon a box carries; kQuestion boxes ask Yes or No, kQuestionOrCancel
// Yes, No or Cancel.
enum class MessageIcon { kError, kWarning, kInformation, kQuestion, kQuestionOrCancel };

// One message box. Its text may hold one printf conversion ("%s" for a path,
// "%lx" or "%04x" for a number), filled when it is shown.
struct Message {
  BilingualText text;
  BilingualText title;
  MessageIcon icon;
  bool systemModal = false;  // for a box shown when the program's own window cannot be
};
