// How a fuzz input is laid out, shared by the targets and the seed writer: the first byte
// picks what the rest is for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// Property records: the object the record is applied to.
enum class RecordTarget : uint8_t { Window, BevelButton, Listbox, Label, TextArea, kCount };

// Tag files: the name's extension, which makes TagLib try that format first.
inline constexpr std::array<const char*, 22> kExtensions = {
    ".mp3", ".m4a", ".mp4", ".wav", ".aiff", ".aifc", ".flac", ".ogg", ".oga", ".opus", ".spx",
    ".ape", ".wv",  ".mpc", ".tta", ".wma",  ".mod",  ".s3m",  ".it",  ".xm",  ".swa",  ""};

inline size_t ExtensionIndexOf(const char* extension) {
  for (size_t i = 0; i < kExtensions.size(); ++i) {
    const char* a = kExtensions[i];
    const char* b = extension;
    while (*a && *a == *b) ++a, ++b;
    if (*a == *b) return i;
  }
  return kExtensions.size() - 1;
}

}  // namespace fuzz
