// The tag plugin's read-only stream over a descriptor it opened: TagLib reads a file only
// through this, so what it may read is bounded here and what it is about to parse can be
// checked first.
#pragma once

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

#include <string>

namespace rt {

// Still named after the file, so that TagLib picks the format by its extension first.
// TagLib seeks and reads in small steps all over a file's head and tail; the stream keeps
// its position itself and serves those reads from two cached chunks, so a small file costs
// one read and no seek at all.
//
// Bounds: TagLib looks for frames, pages and tags by reading blocks of its buffer size one
// after the other, so a big file that holds none (4 GB of zeros named .mp3) would be read to
// its end, for minutes. Such search reads may total kSearchBudget, which TagLib scans in well
// under a second. Every other read fetches structure or content the file declares (tags,
// pictures, Ogg pages): those may total a few times the file's own length. Past either bound
// the file reads as ended, and TagLib gives up.
//
// An ID3v2 tag's body is read whole right after its header; before it is handed over it is
// checked for chapter frames nested too deep to parse (TagLib recurses into them without a
// limit). A refused body reads as nothing and the stream stays refused.
class DescriptorStream final : public TagLib::IOStream {
 public:
  static constexpr unsigned long kSearchBudget = 64ul << 20;

  DescriptorStream(int fd, std::string path, long length);
  ~DescriptorStream() override;
  DescriptorStream(const DescriptorStream&) = delete;
  DescriptorStream& operator=(const DescriptorStream&) = delete;

  TagLib::FileName name() const override { return name_.c_str(); }
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }
  long tell() const override { return position_; }
  long length() override { return length_; }
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  void truncate(long) override {}
  void seek(long offset, Position p) override;
  TagLib::ByteVector readBlock(unsigned long length) override;

  // Up to n bytes at offset, outside TagLib's reading: neither the position nor the bounds
  // change.
  TagLib::ByteVector Peek(long offset, unsigned int n);
  // For a second reading by content: the name loses its extension and reading starts over
  // at the beginning, with what is left of the bounds. False when it had none.
  bool ForgetExtension();
  // Something TagLib was about to parse was refused: the file has no readable tag.
  bool Refused() const noexcept { return refused_; }
  void Refuse() noexcept { refused_ = spent_ = true; }

 private:
  static constexpr unsigned long kChunk = 64 * 1024;
  struct Chunk {
    long start = -1;
    std::string data;
  };

  size_t ReadAt(long offset, char* to, size_t n);
  size_t Copy(long offset, char* to, size_t n);
  const Chunk& ChunkAt(long offset);

  int fd_;
  std::string name_;
  long length_;
  long position_ = 0;
  Chunk chunks_[2];
  int next_ = 0;
  unsigned long searchLeft_ = kSearchBudget, otherLeft_;
  bool spent_ = false, refused_ = false;
  // The last read, when it was a 10-byte ID3v2 header: its offset and bytes.
  long id3HeaderAt_ = -1;
  TagLib::ByteVector id3Header_;
};

}  // namespace rt
