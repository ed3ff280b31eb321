#include "platform/core/object.h"

#include <string>

#include "platform/core/class_table.h"
#include "platform/core/errors.h"
#include "platform/core/runtime_state.h"

namespace rt {

namespace {
std::atomic<long> gLiveObjects{0};
}

Object::Object() { gLiveObjects.fetch_add(1, std::memory_order_relaxed); }
Object::~Object() { gLiveObjects.fetch_sub(1, std::memory_order_relaxed); }

long LiveObjectCount() noexcept { return gLiveObjects.load(std::memory_order_relaxed); }

bool Object::IsA(const ClassTable* cls) const noexcept { return class_ && class_->IsA(cls); }

void Object::Release() noexcept {
  if (refs_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  for (ClassTable* c = class_; c; c = c->super) {
    if (c->destructor) {
      refs_.store(1);  // the hook may take and drop references to the dying object
      try {
        c->destructor(this);
      } catch (...) {
        // A destructor has nobody to report to.
      }
      break;
    }
  }
  delete this;
}

void SetObjectClass(Object* obj, ClassTable* cls) noexcept { obj->class_ = cls; }

bool ClassTable::IsA(const ClassTable* other) const noexcept {
  for (const ClassTable* c = this; c; c = c->super)
    if (c == other) return true;
  return false;
}

std::string ClassTable::EventName(int n) const {
  int own = EventCount() - static_cast<int>(eventNames.size());
  if (n < 0 || n >= EventCount()) return {};
  if (n >= own) return eventNames[n - own];
  return super ? super->EventName(n) : std::string();
}

EventHandler ClassTable::HandlerFor(int n) const noexcept {
  for (const ClassTable* c = this; c; c = c->super)
    if (n >= 0 && n < c->EventCount() && c->events[n]) return c->events[n];
  return nullptr;
}

const PropertyDescription* ClassTable::FindProperty(std::string_view n) const noexcept {
  for (const ClassTable* c = this; c; c = c->super)
    for (const PropertyDescription& p : c->properties)
      if (p.name == n) return &p;
  return nullptr;
}

ClassTable* RuntimeNewClass(ClassTable* super, int memberCount, int eventCount,
                            int propertyCount) {
  // Class tables live for the whole run, past static destruction too; the registry keeps
  // every one reachable.
  static auto* registry = new std::vector<std::unique_ptr<ClassTable>>;
  auto* cls = registry->emplace_back(std::make_unique<ClassTable>()).get();
  cls->super = super;
  if (super) {
    cls->instanceSize = super->instanceSize;
    cls->factory = super->factory;
  }
  cls->members.reserve(memberCount);
  cls->properties.reserve(propertyCount);
  cls->events.assign((super ? super->EventCount() : 0) + eventCount, nullptr);
  return cls;
}

std::vector<AnyFn>& RuntimeNewVtable(ClassTable* cls, int slotCount) {
  cls->vtable.assign(slotCount, nullptr);
  if (cls->super)
    for (size_t i = 0; i < cls->super->vtable.size() && i < cls->vtable.size(); ++i)
      cls->vtable[i] = cls->super->vtable[i];
  return cls->vtable;
}

void RuntimeAllocateAttributeTable(MemberDescription& member, int attributeCount) {
  member.attributes.assign(attributeCount, Attribute{});
}

void AddMembers(ClassTable* cls, std::initializer_list<MemberRow> rows) {
  for (const MemberRow& r : rows) {
    MemberDescription m;
    m.name = r.name;
    m.kind = r.kind;
    m.signature = r.signature;
    m.function = r.function;
    m.invoker = r.invoker;
    m.slot = r.slot;
    cls->members.push_back(std::move(m));
  }
}

void FillVtableFromMembers(ClassTable* cls) {
  for (const MemberDescription& m : cls->members)
    if (m.slot >= 0) cls->vtable.at(m.slot) = m.function;
}

Ref<Object> RuntimeNewObject(ClassTable* cls) {
  if (!cls || !cls->factory) RaiseNilObjectException();
  Ref<Object> obj = Ref<Object>::Adopt(cls->factory());
  SetObjectClass(obj.get(), cls);
  return obj;
}

Ref<Object> RuntimeCheckCast(Object* obj, ClassTable* cls) {
  if (!obj) return nullptr;
  if (!obj->IsA(cls))
    RaiseException(IllegalCastException::__Lookup(),
                   String(obj->Class()->name + " is not a " + (cls ? cls->name : "class")));
  return Ref<Object>(obj);
}

}  // namespace rt
