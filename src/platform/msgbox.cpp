#include "platform/msgbox.h"

#include "platform/prompter.h"
#include "platform/runtime.h"

namespace rt {

void MsgBox(const String& text) {
  _UITrap();
  LogCall("MsgBox " + text.Std());
  CurrentPrompter().Message(text.Std());
}

}  // namespace rt
