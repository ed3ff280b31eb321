// The framework's application class.
#pragma once

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class FolderItem;
class MenuItem;

class Application : public Object {
 public:
  static ClassTable* __Lookup();

  // Virtual operations, in slot order.
  static bool AddTrayItem(Application* self, Object* item);
  static void DoEvents(Application* self, int32_t milliseconds);
  static void NewDocument(Application* self);
  static void OpenDocument(Application* self, FolderItem* item);
  static void RemoveTrayItem(Application* self, Object* item);
  static void SleepCurrentThread(Application* self, int32_t milliseconds);
  static void YieldToNextThread(Application* self);
  static void _AddMenuHandler(Application* self, const String& name, void* handler);
  static void _AddPollableObject(Application* self, Object* pollable);
  static void _DependencyList(Application* self);
  static void _DoSingleEvent(Application* self, bool wait);
  static void _RemovePollableObject(Application* self, Object* pollable);
  static void _x_SetVersionData(Application* self, int32_t major, int32_t minor, int32_t bug,
                                int32_t stage, int32_t nonRelease, const String& shortVersion,
                                const String& longVersion, const String& packageInfo);

  struct slot {
    static constexpr Slot<bool(Application*, Object*)> AddTrayItem{0};
    static constexpr Slot<void(Application*, int32_t)> DoEvents{1};
    static constexpr Slot<void(Application*)> NewDocument{2};
    static constexpr Slot<void(Application*, FolderItem*)> OpenDocument{3};
    static constexpr Slot<void(Application*, Object*)> RemoveTrayItem{4};
    static constexpr Slot<void(Application*, int32_t)> SleepCurrentThread{5};
    static constexpr Slot<void(Application*)> YieldToNextThread{6};
    static constexpr Slot<void(Application*, const String&, void*)> _AddMenuHandler{7};
    static constexpr Slot<void(Application*, Object*)> _AddPollableObject{8};
    static constexpr Slot<void(Application*)> _DependencyList{9};
    static constexpr Slot<void(Application*, bool)> _DoSingleEvent{10};
    static constexpr Slot<void(Application*, Object*)> _RemovePollableObject{11};
    static constexpr Slot<void(Application*, int32_t, int32_t, int32_t, int32_t, int32_t,
                               const String&, const String&, const String&)>
        _x_SetVersionData{12};
  };
  static constexpr int kSlotCount = 13;

  // Events, by number.
  enum Event : int {
    Activate,
    CancelClose,
    Close,
    Deactivate,
    EnableMenuItems,
    NewDocumentEvent,
    Open,
    OpenDocumentEvent,
    UnhandledException,
    kEventCount
  };

  // The application's menu bar; the setter applies the main-thread rule first.
  static void SetMenuBar(Application* self, MenuItem* bar);
  static Ref<MenuItem> GetMenuBar(Application* self);
  // High-resolution display support, a shared method. Qt 6 scales by itself; this records it.
  static void _SetSupportsHiDPI(bool on);
  static bool SupportsHiDPI();

  ~Application() override;

 private:
  Ref<Object> menuBar_;
};

// Makes app the application; the framework holds it from now on.
void _RuntimeRegisterAppObject(Application* app);
// The registered application, nil before registration and after shut-down.
Application* RegisteredApplication();

}  // namespace rt
