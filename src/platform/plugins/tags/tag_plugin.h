// The tag plugin's classes: a tag-file reference on one file and the tag it gives. The
// plugin's functions are reached through bound entry points; TagLib stays inside it.
#pragma once

#include <memory>

#include "platform/core/class_table.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/text.h"
#include "platform/files/folder_item.h"

namespace rt {

// What the plugin keeps for one of its objects; freed with the object.
struct TagPluginData {
  virtual ~TagPluginData() = default;
};

class TagLibTagExt : public Object {
 public:
  static ClassTable* __Lookup();
  // The tag's fields as UTF-8; empty when the tag has none. Nil tag: NilObjectException.
  static String Title(TagLibTagExt* self);
  static String Artist(TagLibTagExt* self);

  std::unique_ptr<TagPluginData> data;  // the plugin's; holds copies, not the file
};

class TagLibFileRefExt : public Object {
 public:
  static ClassTable* __Lookup();
  // Opens the file for tag reading. Never fails: for anything that is not a readable audio
  // file (a folder, a special file, an unreadable or non-audio file, nil) the reference
  // holds nothing and tags gives nil. Special files are never opened.
  static void Constructor(TagLibFileRefExt* self, FolderItem* file);
  // The file's tag, nil when it has none that can be read. The tag stays valid after this
  // reference is gone.
  static Ref<TagLibTagExt> tags(TagLibFileRefExt* self);

  std::unique_ptr<TagPluginData> data;  // the plugin's: the open file, closed with the object
};

// The tag reader's library, found under its file name.
PluginLibrary TagPluginLibrary();

}  // namespace rt
