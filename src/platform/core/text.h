// The framework's text: reference-counted UTF-8, nil reads as the empty text.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

// Texts share one buffer. Appending to a text that ends where its buffer ends
// extends the buffer in place, so a growing text costs the new piece, not the whole.
class String {
 public:
  String() noexcept = default;
  String(const char* utf8) : String(std::string_view(utf8)) {}
  String(std::string_view utf8);
  String(std::string&& utf8);

  std::string_view View() const noexcept {
    return buf_ ? std::string_view(buf_->data(), len_) : std::string_view();
  }
  std::string Std() const { return std::string(View()); }
  size_t Length() const noexcept { return len_; }
  bool IsEmpty() const noexcept { return len_ == 0; }
  // True when both texts are views of one buffer, the shorter a prefix of the longer.
  bool SharesBufferWith(const String& o) const noexcept { return buf_ && buf_ == o.buf_; }

  friend String operator+(const String& a, const String& b);
  friend bool operator==(const String& a, const String& b) noexcept { return a.View() == b.View(); }

 private:
  std::shared_ptr<std::string> buf_;
  size_t len_ = 0;
};

}  // namespace rt
