// Checks made before TagLib parses structures it reads by recursion without a limit: MP4
// atoms, and ID3v2 chapter and table-of-contents frames, which embed frames of their own. A
// few tens of thousands of levels in a small file overflow the stack. Both checks follow
// TagLib's own reading step by step, with a stack of their own.
#pragma once

#include <taglib/id3v2header.h>
#include <taglib/tbytevector.h>

namespace rt {

class DescriptorStream;

// Far more than any real file has (six for a tag, eight for a codec description).
inline constexpr int kMaxNesting = 32;

struct Mp4Layout {
  bool sane = true;        // no deeper than kMaxNesting, and not millions of atoms
  bool soundTrack = false;  // a track whose handler is "soun", whatever its codec
};

// The file's atoms as TagLib's MP4 reader walks them.
Mp4Layout WalkMp4Atoms(DescriptorStream& stream);

// Whether an ID3v2 tag body, as TagLib is about to parse it after header, embeds frames no
// deeper than kMaxNesting, and compressed frames do not inflate beyond reason.
bool Id3v2NestsSanely(const TagLib::ID3v2::Header& header, const TagLib::ByteVector& body);

}  // namespace rt
