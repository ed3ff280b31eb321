// The framework's object model: intrusively counted objects and owning references.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

namespace rt {

struct ClassTable;
struct InstanceHandlers;

[[noreturn]] void RaiseNilObjectException();

// Every framework and program object. The count starts at one: whoever makes an
// object owns that first reference (see Ref::Adopt).
class Object {
 public:
  Object();
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ClassTable* Class() const noexcept { return class_; }
  bool IsA(const ClassTable* cls) const noexcept;

  void Retain() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  // Releasing the last reference runs the class's destructor hook, then deletes.
  void Release() noexcept;
  int RefCount() const noexcept { return refs_.load(std::memory_order_relaxed); }

 private:
  friend void SetObjectClass(Object*, ClassTable*) noexcept;
  friend InstanceHandlers& HandlersOf(Object*);
  friend InstanceHandlers* FindHandlers(Object*) noexcept;
  ClassTable* class_ = nullptr;
  std::atomic<int> refs_{1};
  std::unique_ptr<InstanceHandlers> handlers_;  // per-instance event handlers, rarely any
};

// Number of framework objects alive right now, for leak accounting.
long LiveObjectCount() noexcept;

// Owning reference; may be nil. Using a member through a nil Ref raises NilObjectException.
template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // Takes a new reference to a borrowed object.
  Ref(T* p) noexcept : p_(p) {
    if (p_) p_->Retain();
  }
  // Takes over a reference the caller already owns (a new object's first one).
  static Ref Adopt(T* p) noexcept {
    Ref r;
    r.p_ = p;
    return r;
  }
  Ref(const Ref& o) noexcept : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& o) noexcept : Ref(static_cast<T*>(o.get())) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(Ref<U>&& o) noexcept : p_(static_cast<T*>(o.Detach())) {}
  ~Ref() { reset(); }

  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  void reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // Gives up the reference without releasing it.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }

  T* get() const noexcept { return p_; }
  T* operator->() const {
    if (!p_) RaiseNilObjectException();
    return p_;
  }
  T& operator*() const { return *operator->(); }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  template <class U>
  bool operator==(const Ref<U>& o) const noexcept {
    return static_cast<const Object*>(p_) == static_cast<const Object*>(o.get());
  }
  bool operator==(std::nullptr_t) const noexcept { return p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

// Makes a new C++ object and hands back its first reference.
template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
  return Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace rt

namespace rt {

// A static of the program holding one reference: empty at load, emptied by its finaliser.
template <class T>
class StaticRef : public Ref<T> {
 public:
  using Ref<T>::Ref;
  StaticRef& operator=(const Ref<T>& r) {
    Ref<T>::operator=(r);
    return *this;
  }
  void __Init() noexcept {}  // nothing to do: the static is empty from load on
  // Empties the static first, then drops what it held.
  void __Exit() noexcept { Ref<T> held = std::move(static_cast<Ref<T>&>(*this)); }
};

}  // namespace rt
