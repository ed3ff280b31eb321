#include "platform/plugins/tags/descriptor_stream.h"

#include <taglib/id3v2header.h>
#include <taglib/tfilestream.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/plugins/tags/nesting_guard.h"

namespace rt {

namespace {

// TagLib's files search in blocks of their buffer size.
struct SearchBlock : TagLib::FileStream {
  using FileStream::bufferSize;
};

// What reads other than searches may total: the file a few times over (TagLib reads some
// parts twice, an Ogg page's header and then its packets), and some room for small files.
unsigned long OtherBudget(long length) {
  constexpr unsigned long kRoom = 16ul << 20;
  const unsigned long n = static_cast<unsigned long>(length);
  return n > (std::numeric_limits<unsigned long>::max() - kRoom) / 4 ? std::numeric_limits<unsigned long>::max()
                                                                      : 4 * n + kRoom;
}

// The chunks' buffers, handed from each file's stream to the next on the same thread: a
// fresh buffer of a kilobyte or more per file would make glibc's allocator sweep every small
// block TagLib freed since the last one, a sweep that grows with the heap.
thread_local std::string spareBuffers[2];

}  // namespace

DescriptorStream::DescriptorStream(int fd, std::string path, long length)
    : fd_(fd), name_(std::move(path)), length_(length), otherLeft_(OtherBudget(length)) {
  for (int i = 0; i < 2; ++i) chunks_[i].data.swap(spareBuffers[i]);
}

DescriptorStream::~DescriptorStream() {
  ::close(fd_);
  for (int i = 0; i < 2; ++i) chunks_[i].data.swap(spareBuffers[i]);
}

void DescriptorStream::seek(long offset, Position p) {
  const long base = p == Beginning ? 0 : p == Current ? position_ : length_;
  long to = 0;
  if (__builtin_add_overflow(base, offset, &to) || to < 0) return;  // as a failed fseek
  position_ = to;
}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length) {
  const long at = position_;
  const long headerAt = id3HeaderAt_;
  id3HeaderAt_ = -1;
  if (spent_ || length == 0 || at >= length_) return {};
  const unsigned long asked = length;
  // As TagLib's own stream: a large request is cut to the file's length, and to what a
  // ByteVector can hold.
  length = std::min({length, static_cast<unsigned long>(length_ - at),
                     static_cast<unsigned long>(std::numeric_limits<unsigned int>::max())});
  unsigned long& budget =
      asked == SearchBlock::bufferSize() ? searchLeft_ : otherLeft_;
  if (length > budget) {
    spent_ = true;
    return {};
  }
  budget -= length;
  TagLib::ByteVector out(static_cast<unsigned int>(length));
  const size_t got = length >= kChunk ? ReadAt(at, out.data(), length)
                                      : Copy(at, out.data(), length);
  out.resize(static_cast<unsigned int>(got));
  position_ = at + static_cast<long>(got);

  if (got == TagLib::ID3v2::Header::size() && out.startsWith("ID3")) {
    id3HeaderAt_ = at;
    id3Header_ = out;
  } else if (headerAt >= 0 && at == headerAt + static_cast<long>(TagLib::ID3v2::Header::size())) {
    // TagLib reads a tag's body right after its header: the body is what it parses next.
    const TagLib::ID3v2::Header header(id3Header_);
    if (header.tagSize() == asked && !Id3v2NestsSanely(header, out)) {
      Refuse();
      return {};
    }
  }
  return out;
}

TagLib::ByteVector DescriptorStream::Peek(long offset, unsigned int n) {
  if (offset < 0 || offset >= length_) return {};
  n = static_cast<unsigned int>(std::min<long>(n, length_ - offset));
  TagLib::ByteVector out(n);
  out.resize(static_cast<unsigned int>(n >= kChunk ? ReadAt(offset, out.data(), n)
                                                   : Copy(offset, out.data(), n)));
  return out;
}

bool DescriptorStream::ForgetExtension() {
  const size_t slash = name_.rfind('/');
  const size_t dot = name_.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  name_.resize(dot);
  position_ = 0;
  id3HeaderAt_ = -1;
  spent_ = refused_;
  return true;
}

size_t DescriptorStream::ReadAt(long offset, char* to, size_t n) {
  size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(fd_, to + got, n - got, offset + static_cast<long>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  return got;
}

// n bytes at offset through the chunk cache; fewer when the file ended early.
size_t DescriptorStream::Copy(long offset, char* to, size_t n) {
  size_t got = 0;
  while (got < n) {
    const long from = offset + static_cast<long>(got);
    const Chunk& c = ChunkAt(from);
    const size_t in = static_cast<size_t>(from - c.start);
    if (in >= c.data.size()) break;
    const size_t k = std::min(n - got, c.data.size() - in);
    std::memcpy(to + got, c.data.data() + in, k);
    got += k;
  }
  return got;
}

// The chunk holding offset, read when neither cached one does; the other stays.
const DescriptorStream::Chunk& DescriptorStream::ChunkAt(long offset) {
  const long start = offset - offset % static_cast<long>(kChunk);
  for (Chunk& c : chunks_)
    if (c.start == start) return c;
  Chunk& c = chunks_[next_];
  next_ ^= 1;
  c.start = start;
  c.data.resize(static_cast<size_t>(std::min<long>(static_cast<long>(kChunk), length_ - start)));
  c.data.resize(ReadAt(start, c.data.data(), c.data.size()));
  return c;
}

}  // namespace rt
