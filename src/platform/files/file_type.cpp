#include "platform/files/file_type.h"

#include <algorithm>

#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"

namespace rt {

// ---- the registry ----

namespace {

std::vector<RegisteredFileType>& Registry() {
  // Outlives static destruction: the program's own statics may still deregister their types
  // when an exit comes from inside the run (Qt ends the process when the display goes).
  static auto* entries = new std::vector<RegisteredFileType>;
  return *entries;
}

// A run's registrations do not outlive it, whatever was never withdrawn.
void ForgetRegistry() { Registry().clear(); }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Calls fn with every non-empty, trimmed item of the ";"-separated text.
template <class Fn>
void ForEachItem(std::string_view text, Fn fn) {
  while (!text.empty()) {
    size_t end = text.find(';');
    std::string_view item = Trimmed(text.substr(0, end));
    if (!item.empty()) fn(item);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

bool RuntimeRegisterFileType(const String& name, const String& macCreator, const String& macType,
                             const String& extensions, const String& uti) {
  if (CallLogActive())
    LogCall("RuntimeRegisterFileType " + name.Std() + "|" + macCreator.Std() + "|" + macType.Std() +
            "|" + extensions.Std() + "|" + uti.Std());
  MaybeFail("RuntimeRegisterFileType");
  RegisterShutdownHook(&ForgetRegistry);
  Registry().push_back({name, macCreator, macType, extensions, uti});
  return true;
}

void RuntimeDeregisterFileType(const String& name) {
  if (CallLogActive()) LogCall("RuntimeDeregisterFileType " + name.Std());
  auto& entries = Registry();
  auto it = std::find_if(entries.begin(), entries.end(),
                         [&](const RegisteredFileType& e) { return e.name == name; });
  if (it != entries.end()) entries.erase(it);
}

std::vector<RegisteredFileType> RuntimeRegisteredFileTypes() { return Registry(); }

std::vector<std::string> RuntimeFileTypeExtensions(const String& filter) {
  std::vector<std::string> out;
  ForEachItem(filter.View(), [&](std::string_view name) {
    for (const RegisteredFileType& type : Registry()) {
      if (Trimmed(type.name.View()) != name) continue;
      ForEachItem(type.extensions.View(), [&](std::string_view ext) {
        std::string dotted = ext.front() == '.' ? std::string(ext) : "." + std::string(ext);
        if (dotted.size() > 1 && std::find(out.begin(), out.end(), dotted) == out.end())
          out.push_back(std::move(dotted));
      });
    }
  });
  return out;
}

// ---- the class ----

namespace {

Object* NewFileType() {
  MaybeFail("RuntimeNewObject FileType");
  return new FileType;
}

void DestroyFileType(Object* self) {
  auto* type = static_cast<FileType*>(self);
  FileType::Destructor(type);  // the withdrawal needs the Name: texts go after it
  FileType::__Exit(type);
}

FileType* Tested(FileType* self) {
  if (!self) RaiseNilObjectException();
  return self;
}

// a ";" b, with every run of ";" left as one.
String JoinNames(const String& a, const String& b) {
  std::string joined = a.Std() + ";" + b.Std();
  std::string out;
  out.reserve(joined.size());
  for (char c : joined)
    if (c != ';' || out.empty() || out.back() != ';') out.push_back(c);
  return String(std::move(out));
}

}  // namespace

ClassTable* FileType::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<FileType>("FileType", nullptr);
    c->factory = &NewFileType;
    c->destructor = &DestroyFileType;
    RuntimeNewVtable(c, kSlotCount);
    SetSlot(c, slot::GetConformsTo, &GetConformsTo);
    SetSlot(c, slot::SetConformsTo, &SetConformsTo);
    SetSlot(c, slot::Destructor, &Destructor);
    SetSlot(c, slot::GetExtensions, &GetExtensions);
    SetSlot(c, slot::SetExtensions, &SetExtensions);
    SetSlot(c, slot::Icon, &Icon);
    SetSlot(c, slot::GetImported, &GetImported);
    SetSlot(c, slot::SetImported, &SetImported);
    SetSlot(c, slot::GetMacCreator, &GetMacCreator);
    SetSlot(c, slot::SetMacCreator, &SetMacCreator);
    SetSlot(c, slot::GetMacType, &GetMacType);
    SetSlot(c, slot::SetMacType, &SetMacType);
    SetSlot(c, slot::GetMimeType, &GetMimeType);
    SetSlot(c, slot::SetMimeType, &SetMimeType);
    SetSlot(c, slot::GetName, &GetName);
    SetSlot(c, slot::SetName, &SetName);
    SetSlot(c, slot::Operator_AddType,
            static_cast<String (*)(FileType*, FileType*)>(&Operator_Add));
    SetSlot(c, slot::Operator_AddText,
            static_cast<String (*)(FileType*, const String&)>(&Operator_Add));
    SetSlot(c, slot::Operator_AddRightType,
            static_cast<String (*)(FileType*, FileType*)>(&Operator_AddRight));
    SetSlot(c, slot::Operator_AddRightText,
            static_cast<String (*)(FileType*, const String&)>(&Operator_AddRight));
    SetSlot(c, slot::Operator_Convert, &Operator_Convert);
    SetSlot(c, slot::GetUTI, &GetUTI);
    SetSlot(c, slot::SetUTI, &SetUTI);
    return c;
  }();
  return cls;
}

String FileType::GetConformsTo(FileType* self) { return Tested(self)->mConformsTo; }
String FileType::GetExtensions(FileType* self) { return Tested(self)->mExtension; }
bool FileType::GetImported(FileType* self) { return Tested(self)->mImported; }
String FileType::GetMacCreator(FileType* self) { return Tested(self)->mMacCreator; }
String FileType::GetMacType(FileType* self) { return Tested(self)->mMacType; }
String FileType::GetMimeType(FileType* self) { return Tested(self)->mMimeType; }
String FileType::GetName(FileType* self) { return Tested(self)->mName; }
String FileType::GetUTI(FileType* self) { return Tested(self)->mUTI; }
Ref<Object> FileType::Icon(FileType* self) {
  Tested(self);
  return nullptr;
}

void FileType::SetConformsTo(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mConformsTo = v;
}
void FileType::SetExtensions(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mExtension = v;
}
void FileType::SetImported(FileType* self, bool v) {
  Deregister(Tested(self));
  self->mImported = v;
}
void FileType::SetMacCreator(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mMacCreator = v;
}
void FileType::SetMacType(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mMacType = v;
}
void FileType::SetMimeType(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mMimeType = v;
}
void FileType::SetName(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mName = v;
}
void FileType::SetUTI(FileType* self, const String& v) {
  Deregister(Tested(self));
  self->mUTI = v;
}

void FileType::Destructor(FileType* self) { Deregister(Tested(self)); }

void FileType::__Exit(FileType* self) {
  Tested(self);
  self->mConformsTo = {};
  self->mExtension = {};
  self->mMacCreator = {};
  self->mMacType = {};
  self->mMimeType = {};
  self->mName = {};
  self->mUTI = {};
}

void FileType::Register(FileType* self) {
  if (Tested(self)->mRegistered) return;
  const String uti = GetUTI(self);
  RuntimeRegisterFileType(self->mName, self->mMacCreator, self->mMacType, self->mExtension, uti);
  self->mRegistered = true;  // whatever the registry answered
}

void FileType::Deregister(FileType* self) {
  if (!Tested(self)->mRegistered) return;
  RuntimeDeregisterFileType(self->mName);
  self->mRegistered = false;
}

String FileType::Operator_Convert(FileType* self) {
  Register(Tested(self));
  return GetName(self);
}

String FileType::Operator_Add(FileType* self, FileType* other) {
  Register(Tested(self));
  Register(Tested(other));
  return JoinNames(GetName(self), GetName(other));
}
String FileType::Operator_Add(FileType* self, const String& text) {
  Register(Tested(self));
  return JoinNames(GetName(self), text);
}
String FileType::Operator_AddRight(FileType* self, FileType* other) {
  Register(Tested(other));  // the left operand first, as in other + self
  Register(Tested(self));
  return JoinNames(GetName(other), GetName(self));
}
String FileType::Operator_AddRight(FileType* self, const String& text) {
  Register(Tested(self));
  return JoinNames(text, GetName(self));
}

}  // namespace rt
