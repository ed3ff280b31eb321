#include "platform/folder_item.h"

namespace rt {

ClassTable* FolderItem::__Lookup() {
  static ClassTable* cls = DefineClass<FolderItem>("FolderItem", nullptr);
  return cls;
}

}  // namespace rt
