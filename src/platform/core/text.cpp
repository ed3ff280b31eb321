#include "platform/core/text.h"

namespace rt {

String::String(std::string_view utf8) {
  if (!utf8.empty()) {
    buf_ = std::make_shared<std::string>(utf8);
    len_ = utf8.size();
  }
}

String::String(std::string&& utf8) {
  if (!utf8.empty()) {
    len_ = utf8.size();
    buf_ = std::make_shared<std::string>(std::move(utf8));
  }
}

String operator+(const String& a, const String& b) {
  if (b.IsEmpty()) return a;
  if (a.IsEmpty()) return b;
  if (a.buf_->size() == a.len_) {
    // Nobody has appended past a yet: extend in place; every other holder keeps its prefix.
    String r = a;
    if (b.buf_ == a.buf_) {
      r.buf_->append(std::string(b.View()));  // appending a view of itself would dangle
    } else {
      r.buf_->append(b.View());
    }
    r.len_ += b.len_;
    return r;
  }
  std::string joined;
  joined.reserve(a.len_ + b.len_);
  joined.append(a.View()).append(b.View());
  return String(std::move(joined));
}

}  // namespace rt
