#include "platform/plugins/tags/nesting_guard.h"

#include <taglib/id3v2extendedheader.h>
#include <taglib/id3v2footer.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2synchdata.h>
#include <zlib.h>

#include <climits>
#include <vector>

#include "platform/plugins/tags/descriptor_stream.h"

namespace rt {

namespace {

using TagLib::ByteVector;

// TagLib keeps every atom in memory; tens of millions of tiny ones would exhaust it.
constexpr long kMaxAtoms = 1l << 20;
// What the compressed frames of one tag may inflate to, together.
constexpr unsigned long kMaxInflated = 64ul << 20;

bool IsContainer(const ByteVector& name) {
  for (const char* c : {"moov", "udta", "mdia", "meta", "ilst", "stbl", "minf", "moof", "traf",
                        "trak", "stsd"})
    if (name == c) return true;
  return false;
}

long Add(long a, long b) {
  long sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? LONG_MAX : sum;
}

}  // namespace

Mp4Layout WalkMp4Atoms(DescriptorStream& stream) {
  Mp4Layout out;
  const long fileEnd = stream.length();
  struct Container {
    long end;
    ByteVector name;
  };
  std::vector<Container> open;  // outermost first
  long pos = 0;
  for (long atoms = 0;;) {
    // TagLib reads top-level atoms while a header's 8 bytes are left, a container's children
    // while the position lies inside it; a container ends where its last child did.
    if (open.empty() ? pos > fileEnd - 8 : pos >= open.back().end) {
      if (open.empty()) break;
      open.pop_back();
      continue;
    }
    if (++atoms > kMaxAtoms) return {false, out.soundTrack};
    const long offset = pos;
    const ByteVector header = stream.Peek(offset, 8);
    pos = offset + static_cast<long>(header.size());
    long length = header.size() == 8 ? static_cast<long>(header.toUInt()) : 0;
    if (header.size() == 8 && length == 0) {
      length = fileEnd - offset;  // the last atom, to the end of the file
    } else if (length == 1) {
      const ByteVector big = stream.Peek(pos, 8);
      pos += static_cast<long>(big.size());
      length = static_cast<long>(big.toLongLong());
    }
    if (length < 8) {
      // An atom TagLib cannot read: it goes to the end, and the container around stops.
      pos = fileEnd;
      if (open.empty()) break;
      open.pop_back();
      continue;
    }
    const ByteVector name = header.mid(4, 4);
    if (!IsContainer(name)) {
      if (name == "hdlr" && length >= 20 && open.size() == 3 && open[0].name == "moov" &&
          open[1].name == "trak" && open[2].name == "mdia" &&
          stream.Peek(offset + 16, 4) == "soun")
        out.soundTrack = true;
      pos = Add(offset, length);
      continue;
    }
    if (open.size() >= static_cast<size_t>(kMaxNesting)) return {false, out.soundTrack};
    if (name == "meta") {
      // A full atom (version and flags first) unless a child's header follows at once.
      const ByteVector next = stream.Peek(pos, 8).mid(4, 4);
      bool full = true;
      for (const char* child : {"hdlr", "ilst", "mhdr", "ctry", "lang"})
        if (next == child) full = false;
      pos += full ? 4 : 0;
    } else if (name == "stsd") {
      pos += 8;
    }
    open.push_back({Add(offset, length), name});
  }
  return out;
}

namespace {

namespace ID3 = TagLib::ID3v2;

// TagLib's own reading of a frame header, which it keeps to its frames.
struct FrameHeader : ID3::Frame {
  using Frame::Header;
};

// A compressed frame's fields as TagLib inflates them: what came out before an error in the
// stream counts as nothing, a stream cut short gives what it held. False once the tag's
// frames have inflated to more than budget allows.
bool Inflate(const ByteVector& in, unsigned long& budget, ByteVector* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return true;
  ByteVector data = in;
  z.avail_in = data.size();
  z.next_in = reinterpret_cast<Bytef*>(data.data());
  char scratch[16 * 1024];
  ByteVector got;
  bool within = true, failed = false;
  do {
    z.avail_out = sizeof scratch;
    z.next_out = reinterpret_cast<Bytef*>(scratch);
    const int result = inflate(&z, Z_NO_FLUSH);
    failed = result == Z_STREAM_ERROR || result == Z_NEED_DICT || result == Z_DATA_ERROR ||
             result == Z_MEM_ERROR;
    if (failed) break;
    const unsigned int n = sizeof scratch - z.avail_out;
    if (n > budget) {
      within = false;
      break;
    }
    budget -= n;
    if (out) got.append(ByteVector(scratch, n));
  } while (z.avail_out == 0);
  inflateEnd(&z);
  if (out) *out = failed ? ByteVector() : got;
  return within;
}

// Where a frame sequence is read: TagLib's tag reader stops at padding, an embedding frame's
// reader does not.
struct Sequence {
  ByteVector data;
  unsigned int pos, limit;
  bool top;
};

// One frame as TagLib's frame factory makes it, as far as nesting goes: false when the
// sequence ends here; size is the frame's; fields are what a chapter or table-of-contents
// frame embeds its frames in, left empty for any other frame.
bool ReadFrame(const ByteVector& data, const ID3::Header& tag, unsigned long& inflateBudget,
               bool& sane, unsigned int& size, ByteVector& embedded) {
  const unsigned int version = tag.majorVersion();
  const unsigned int hs = FrameHeader::Header::size(version);
  const FrameHeader::Header header(data, version);
  ByteVector id = header.frameID();
  size = header.frameSize();
  if (id.size() != (version < 3 ? 3u : 4u) || size <= (header.dataLengthIndicator() ? 4u : 0u) ||
      size > data.size())
    return false;
  if (version == 3 && id[3] == '\0') id = id.mid(0, 3);  // iTunes writes v2.2 frames so
  for (const char c : id)
    if ((c < 'A' || c > 'Z') && (c < '0' || c > '9')) return false;
  if (header.encryption()) return true;  // kept as an unknown frame
  const bool nests = id == "CHAP" || id == "CTOC";
  if (!nests && !header.compression()) return true;

  ByteVector frame = data;
  if (version > 3 && (tag.unsynchronisation() || header.unsynchronisation()))
    frame = data.mid(0, hs) + ID3::SynchData::decode(data.mid(hs, size));
  unsigned int offset = hs, length = size;
  if (header.compression() || header.dataLengthIndicator()) {
    length = ID3::SynchData::toUInt(frame.mid(hs, 4));
    offset += 4;
  }
  ByteVector fields;
  if (header.compression()) {
    if (frame.size() > offset && !Inflate(frame.mid(offset), inflateBudget, nests ? &fields : nullptr)) {
      sane = false;
      return false;
    }
  } else {
    fields = frame.mid(offset, length);
  }
  if (!nests) return true;

  // The element ID, then the chapter's four times or the table's flags and child IDs.
  int at = 0;
  auto skipString = [&] {
    const int end = fields.find(ByteVector(1, '\0'), static_cast<unsigned int>(at));
    if (end >= at) at = end + 1;
  };
  if (id == "CHAP") {
    if (fields.size() < 18) return true;
    skipString();
    at += 16;
  } else {
    if (fields.size() < 6) return true;
    skipString();
    const unsigned int entries = static_cast<unsigned char>(fields.at(static_cast<unsigned int>(at + 1)));
    at += 2;
    for (unsigned int i = 0; i < entries; ++i) skipString();
  }
  if (static_cast<unsigned int>(at) > fields.size() || fields.size() - at < hs) return true;
  embedded = fields.mid(static_cast<unsigned int>(at));
  return true;
}

}  // namespace

bool Id3v2NestsSanely(const ID3::Header& tag, const ByteVector& body) {
  const unsigned int hs = FrameHeader::Header::size(tag.majorVersion());
  ByteVector data = body;
  if (tag.unsynchronisation() && tag.majorVersion() <= 3) data = ID3::SynchData::decode(data);
  unsigned int pos = 0, length = data.size();
  if (tag.extendedHeader()) {
    ID3::ExtendedHeader extended;
    extended.setData(data);
    if (extended.size() <= data.size()) {
      pos += extended.size();
      length -= extended.size();
    }
  }
  if (tag.footerPresent() && ID3::Footer::size() <= length) length -= ID3::Footer::size();

  unsigned long inflateBudget = kMaxInflated;
  bool sane = true;
  std::vector<Sequence> open{{data, pos, length - hs, true}};  // as TagLib, unsigned
  while (!open.empty()) {
    Sequence& s = open.back();
    if (s.pos >= s.limit || s.pos >= s.data.size() || (s.top && s.data.at(s.pos) == 0)) {
      open.pop_back();
      continue;
    }
    unsigned int size = 0;
    ByteVector embedded;
    if (!ReadFrame(s.data.mid(s.pos), tag, inflateBudget, sane, size, embedded)) {
      if (!sane) return false;
      open.pop_back();
      continue;
    }
    s.pos += size + hs;
    if (embedded.isEmpty()) continue;
    if (open.size() >= static_cast<size_t>(kMaxNesting)) return false;
    const unsigned int limit = embedded.size() - hs;
    open.push_back({embedded, 0, limit, false});
  }
  return true;
}

}  // namespace rt
