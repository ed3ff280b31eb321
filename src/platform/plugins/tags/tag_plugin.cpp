#include "platform/plugins/tags/tag_plugin.h"

#include "platform/core/errors.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/runtime.h"

namespace rt {

namespace {

template <class Fn>
Fn Entry(const char* name) {
  return reinterpret_cast<Fn>(RequireEntrypoint(name));
}

}  // namespace

ClassTable* TagLibTagExt::__Lookup() {
  static ClassTable* cls = DefineClass<TagLibTagExt>("TagLibTagExt", nullptr);
  return cls;
}

ClassTable* TagLibFileRefExt::__Lookup() {
  static ClassTable* cls = DefineClass<TagLibFileRefExt>("TagLibFileRefExt", nullptr);
  return cls;
}

String TagLibTagExt::Title(TagLibTagExt* self) {
  if (!self) RaiseNilObjectException();
  return Entry<String (*)(TagLibTagExt*)>("TagLibTagExt.Title.Get")(self);
}

String TagLibTagExt::Artist(TagLibTagExt* self) {
  if (!self) RaiseNilObjectException();
  return Entry<String (*)(TagLibTagExt*)>("TagLibTagExt.Artist.Get")(self);
}

void TagLibFileRefExt::Constructor(TagLibFileRefExt* self, FolderItem* file) {
  if (!self) RaiseNilObjectException();
  Entry<void (*)(TagLibFileRefExt*, FolderItem*)>(
      "TagLibFileRefExt.Constructor(file as folderitem)")(self, file);
}

Ref<TagLibTagExt> TagLibFileRefExt::tags(TagLibFileRefExt* self) {
  if (!self) RaiseNilObjectException();
  return Entry<Ref<TagLibTagExt> (*)(TagLibFileRefExt*)>("TagLibFileRefExt.tags.Get")(self);
}

}  // namespace rt
