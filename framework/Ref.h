// Shared references to framework objects. Dereferencing an empty one raises
// NilObjectException instead of crashing, as the game's code expects.
#pragma once

#include <memory>
#include <stdexcept>
#include <utility>

namespace fw {

class NilObjectException : public std::runtime_error {
 public:
  NilObjectException() : std::runtime_error("NilObjectException") {}
};

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(std::shared_ptr<T> p) : p_(std::move(p)) {}
  template <class U>
  Ref(const Ref<U>& other) : p_(other.shared()) {}

  T* operator->() const { return &deref(); }
  T& operator*() const { return deref(); }
  T* get() const { return p_.get(); }
  const std::shared_ptr<T>& shared() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const Ref& o) const = default;
  bool operator==(std::nullptr_t) const { return p_ == nullptr; }

 private:
  T& deref() const {
    if (!p_) throw NilObjectException();
    return *p_;
  }
  std::shared_ptr<T> p_;
};

template <class T, class... Args>
Ref<T> New(Args&&... args) {
  return Ref<T>(std::make_shared<T>(std::forward<Args>(args)...));
}

}  // namespace fw
