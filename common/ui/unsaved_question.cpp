// The question before a picture with unsaved changes is left.
#include "common/ui/app_shell.h"

#include "common/base/text.h"

namespace {

// The name is put in after the text is converted, so its ANSI bytes stay.
const Message kSaveChangesQuestion = {
    {"Save changes to %s?", "%s への変更を保存しますか？"},
    {"Confirmation", "確認"},
    MessageIcon::kQuestionOrCancel};

}  // namespace

bool AskBeforeLeaving(HWND window, const std::string& ansiFileName, bool (*save)(HWND)) {
  switch (ShowMessage(window, kSaveChangesQuestion, ansiFileName.c_str())) {
    case IDYES: return save(window);
    case IDNO: return true;
    default: return false;
  }
}
