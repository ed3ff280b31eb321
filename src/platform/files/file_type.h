// The framework's file types and their registry.
#pragma once

#include <string>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

// One named file type. Storing any field withdraws the type from the registry; converting it
// to text (or adding it to a filter) registers it again. None of its members checks the thread.
class FileType : public Object {
 public:
  static ClassTable* __Lookup();

  // Virtual operations, in slot order. Getters give the stored value.
  static String GetConformsTo(FileType* self);
  static void SetConformsTo(FileType* self, const String& v);
  // Withdraws the type; run when the last reference goes, before __Exit.
  static void Destructor(FileType* self);
  static String GetExtensions(FileType* self);
  static void SetExtensions(FileType* self, const String& v);
  // No icons on this platform: always nil.
  static Ref<Object> Icon(FileType* self);
  static bool GetImported(FileType* self);
  static void SetImported(FileType* self, bool v);
  static String GetMacCreator(FileType* self);
  static void SetMacCreator(FileType* self, const String& v);
  static String GetMacType(FileType* self);
  static void SetMacType(FileType* self, const String& v);
  static String GetMimeType(FileType* self);
  static void SetMimeType(FileType* self, const String& v);
  static String GetName(FileType* self);
  static void SetName(FileType* self, const String& v);
  // self + other, self + text, other + self, text + self: both types registered, the parts
  // joined by ";" with no ";;" left. A nil type raises NilObjectException.
  static String Operator_Add(FileType* self, FileType* other);
  static String Operator_Add(FileType* self, const String& text);
  static String Operator_AddRight(FileType* self, FileType* other);
  static String Operator_AddRight(FileType* self, const String& text);
  // Registers the type, then gives its Name.
  static String Operator_Convert(FileType* self);
  static String GetUTI(FileType* self);
  static void SetUTI(FileType* self, const String& v);

  struct slot {
    static constexpr Slot<String(FileType*)> GetConformsTo{0};
    static constexpr Slot<void(FileType*, const String&)> SetConformsTo{1};
    static constexpr Slot<void(FileType*)> Destructor{2};
    static constexpr Slot<String(FileType*)> GetExtensions{3};
    static constexpr Slot<void(FileType*, const String&)> SetExtensions{4};
    static constexpr Slot<Ref<Object>(FileType*)> Icon{5};
    static constexpr Slot<bool(FileType*)> GetImported{6};
    static constexpr Slot<void(FileType*, bool)> SetImported{7};
    static constexpr Slot<String(FileType*)> GetMacCreator{8};
    static constexpr Slot<void(FileType*, const String&)> SetMacCreator{9};
    static constexpr Slot<String(FileType*)> GetMacType{10};
    static constexpr Slot<void(FileType*, const String&)> SetMacType{11};
    static constexpr Slot<String(FileType*)> GetMimeType{12};
    static constexpr Slot<void(FileType*, const String&)> SetMimeType{13};
    static constexpr Slot<String(FileType*)> GetName{14};
    static constexpr Slot<void(FileType*, const String&)> SetName{15};
    static constexpr Slot<String(FileType*, FileType*)> Operator_AddType{16};
    static constexpr Slot<String(FileType*, const String&)> Operator_AddText{17};
    static constexpr Slot<String(FileType*, FileType*)> Operator_AddRightType{18};
    static constexpr Slot<String(FileType*, const String&)> Operator_AddRightText{19};
    static constexpr Slot<String(FileType*)> Operator_Convert{20};
    static constexpr Slot<String(FileType*)> GetUTI{21};
    static constexpr Slot<void(FileType*, const String&)> SetUTI{22};
  };
  static constexpr int kSlotCount = 23;

  // Outside the virtual table. Register enters the type at most once while it stands;
  // Deregister withdraws it by Name when it stands, else does nothing.
  static void Register(FileType* self);
  static void Deregister(FileType* self);
  // The field finaliser: releases the seven texts.
  static void __Exit(FileType* self);

  bool Registered() const noexcept { return mRegistered; }

 private:
  String mConformsTo;
  String mExtension;
  bool mImported = false;
  String mMacCreator;
  String mMacType;
  String mMimeType;
  String mName;
  bool mRegistered = false;
  String mUTI;
};

// ---- the registry: the framework's table of types by Name, in registration order ----

struct RegisteredFileType {
  String name, macCreator, macType, extensions, uti;
};

// Enters one type; a Name may stand several times. True when entered.
bool RuntimeRegisterFileType(const String& name, const String& macCreator, const String& macType,
                             const String& extensions, const String& uti);
// Withdraws the oldest entry of that Name; nothing when none stands.
void RuntimeDeregisterFileType(const String& name);
// The entries standing now, oldest first.
std::vector<RegisteredFileType> RuntimeRegisteredFileTypes();
// The extensions, each with its leading dot, of the registered types that the filter text
// ("audio/mp3;audio/mp4;") names: in the filter's order, then registration order, each once.
// Names that no registered type has contribute nothing.
std::vector<std::string> RuntimeFileTypeExtensions(const String& filter);

}  // namespace rt
