// The folder scan: the button's action and the walk over the chosen folder.
#include "platform/core/array.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/files/folder_item.h"
#include "platform/plugins/folder_chooser/open_dialog.h"
#include "platform/ui/event_loop.h"
#include "window/window1.h"

namespace quorvane::Window1 {

void BevelButton1_Action(rt::Window* self, rt::BevelButton* button) {
  Ref<rt::Window> window(self);
  Ref<rt::BevelButton> pressed(button);
  {
    Ref<rt::TextArea> textArea = rt::Invoke(slot::TextArea1, window);
    if (!textArea) rt::RaiseNilObjectException();
    rt::TextEdit::SetText(textArea.get(), rt::String());
  }
  rt::Invoke(slot::openvideofolder, window);
}

void openvideofolder(rt::Window* self) {
  Ref<rt::FolderItem> folder;
  Ref<rt::OpenDialogExt> chooser;
  Ref<rt::Window> window(self);
  {
    Ref<rt::Listbox> listbox = rt::Invoke(slot::Listbox1, window);
    if (!listbox) rt::RaiseNilObjectException();
    rt::Listbox::DeleteAllRows(listbox.get());
  }

  chooser = rt::CheckCast<rt::OpenDialogExt>(
      rt::Invoke(rt::Window::slot::__New, window, rt::OpenDialogExt::__Lookup()),
      rt::OpenDialogExt::__Lookup());
  // Each member of the chooser raises NilObjectException on a nil chooser as well.
  if (!chooser) rt::RaiseNilObjectException();
  rt::OpenDialogExt::SetShowHiddenFiles(chooser.get(), false);
  rt::OpenDialogExt::SetPromptText(chooser.get(), "Select one folder:");
  rt::OpenDialogExt::SetMultipleSelection(chooser.get(), false);
  rt::OpenDialogExt::SetActionButtonLabel(chooser.get(), "Open folders");
  rt::OpenDialogExt::SetCancelButtonLabel(chooser.get(), "no, thanks.");
  rt::OpenDialogExt::SetWindowTitle(chooser.get(), "This is a window title.");
  rt::OpenDialogExt::SetClientName(chooser.get(), "Client Name?");
  rt::OpenDialogExt::SetAllowFolderSelection(chooser.get(), true);
  rt::OpenDialogExt::ShowDialog(chooser.get());

  if (rt::OpenDialogExt::FileCount(chooser.get()) > 0)
    folder = rt::OpenDialogExt::Files(chooser.get(), 0);
  if (!folder) {
    rt::Quit(0);
    return;
  }

  for (int32_t index = 1; index <= rt::FolderItem::Count(folder.get()); ++index) {
    bool visible;
    {
      Ref<rt::FolderItem> entry = rt::FolderItem::Item(folder.get(), index);
      if (!entry) rt::RaiseNilObjectException();
      visible = rt::FolderItem::Visible(entry.get());
    }
    if (visible) {
      Ref<rt::StringArray> row;
      {
        Ref<rt::Listbox> listbox = rt::Invoke(slot::Listbox1, window);
        if (!listbox) rt::RaiseNilObjectException();
        row = rt::CreateArray(1, 0);
        Ref<rt::FolderItem> entry = rt::FolderItem::Item(folder.get(), index);
        if (!entry) rt::RaiseNilObjectException();
        row->At(0) = rt::FolderItem::Name(entry.get());
        rt::Listbox::AddRow(listbox.get(), row.get());
      }
      {
        Ref<rt::FolderItem> entry = rt::FolderItem::Item(folder.get(), index);
        rt::Invoke(slot::getid3info, window, entry.get());
      }
    }
    rt::RuntimeBackgroundTask();
  }
}

}  // namespace quorvane::Window1
