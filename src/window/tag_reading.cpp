// Reading one entry's tag into the text area.
#include "filetypes/file_types1.h"
#include "platform/core/end_of_line.h"
#include "platform/core/errors.h"
#include "platform/files/folder_item.h"
#include "platform/plugins/tags/tag_plugin.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/open_file_dialog.h"
#include "window/window1.h"

namespace quorvane::Window1 {

void getid3info(rt::Window* self, rt::FolderItem* entry) {
  // Declared in reverse: on every way out the window goes first and the tag last.
  Ref<rt::TagLibTagExt> tag;
  Ref<rt::TagLibFileRefExt> fileRef;
  Ref<rt::FolderItem> file;
  Ref<rt::FolderItem> heldEntry(entry);
  Ref<rt::Window> window(self);
  file = heldEntry;
  if (!heldEntry) rt::RaiseNilObjectException();

  if (!rt::FolderItem::Exists(heldEntry.get())) {
    rt::String filter = FileTypes1::All();
    file = rt::GetOpenFolderItem(filter);
  }
  if (!file) return;

  fileRef = rt::CheckCast<rt::TagLibFileRefExt>(
      rt::Invoke(rt::Window::slot::__New, window, rt::TagLibFileRefExt::__Lookup()),
      rt::TagLibFileRefExt::__Lookup());
  rt::TagLibFileRefExt::Constructor(fileRef.get(), file.get());
  tag = rt::TagLibFileRefExt::tags(fileRef.get());

  if (!tag) {
    rt::MsgBox("Failed to read file.");
    return;
  }

  Ref<rt::TextArea> textArea = rt::Invoke(slot::TextArea1, window);
  if (!textArea) rt::RaiseNilObjectException();
  Ref<rt::EndOfLine> endOfLine = rt::NewEndOfLine();
  if (!endOfLine) rt::RaiseNilObjectException();
  Ref<rt::TextArea> current = rt::Invoke(slot::TextArea1, window);
  if (!current) rt::RaiseNilObjectException();
  const rt::String oldText = rt::TextEdit::GetText(current.get());
  const rt::String withTitle = oldText + rt::TagLibTagExt::Title(tag.get());
  const rt::String withDash = withTitle + " - ";
  const rt::String withArtist = withDash + rt::TagLibTagExt::Artist(tag.get());
  rt::TextEdit::SetText(textArea.get(),
                        rt::EndOfLine::Operator_AddRight(endOfLine.get(), withArtist));
}

}  // namespace quorvane::Window1
