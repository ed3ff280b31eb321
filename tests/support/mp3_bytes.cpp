#include "support/mp3_bytes.h"

namespace qtest {

namespace {

// v in n big-endian digits of bits bits each: 8 for plain, 7 for synchsafe integers.
std::string Be(unsigned long v, int n, int bits) {
  std::string b(static_cast<size_t>(n), '\0');
  for (int i = n - 1; i >= 0; --i, v >>= bits)
    b[static_cast<size_t>(i)] = static_cast<char>(v & ((1u << bits) - 1));
  return b;
}

}  // namespace

std::string MpegSilence(long bytes) {
  std::string frame(417, '\0');
  frame.replace(0, 4, "\xFF\xFB\x90\x64", 4);
  std::string out;
  while (static_cast<long>(out.size()) < bytes) out += frame;
  out.resize(static_cast<size_t>(bytes));
  return out;
}

std::string Synchsafe(unsigned long v) { return Be(v, 4, 7); }

std::string Id3v24FrameHeader(const std::string& id, unsigned long size, unsigned flags) {
  return id + Synchsafe(size) + Be(flags, 2, 8);
}

std::string Id3v24Frame(const std::string& id, const std::string& body, unsigned flags) {
  return Id3v24FrameHeader(id, body.size(), flags) + body;
}

std::string Id3v24Header(unsigned long size) {
  return std::string("ID3\x04\x00\x00", 6) + Synchsafe(size);
}

}  // namespace qtest
