// The standard Edit commands on the framework's Qt controls: text editors, line edits and
// item views. Platform-internal.
#pragma once

#include <string_view>

class QWidget;

namespace rt {

enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

// The command a menu item of that Name stands for ("EditCopy" ...), None for the others.
EditCommand EditCommandNamed(std::string_view name);
// Whether the command would do something on the control (nil: nothing applies).
bool EditCommandApplies(EditCommand command, QWidget* control);
// Carries the command out on the control, when it still applies.
void PerformEditCommand(EditCommand command, QWidget* control);

}  // namespace rt
