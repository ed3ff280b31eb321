#include "platform/ui/msgbox.h"

#include "platform/core/runtime.h"
#include "platform/ui/prompter.h"

namespace rt {

void MsgBox(const String& text) {
  _UITrap();
  LogCall("MsgBox " + text.Std());
  CurrentPrompter().Message(text.Std());
}

}  // namespace rt
