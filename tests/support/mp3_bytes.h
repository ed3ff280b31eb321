// MP3 files written byte by byte, for layouts no tool writes: MPEG frames of silence and
// ID3v2.4 tags and frames as the standard lays them out.
#pragma once

#include <string>

namespace qtest {

// bytes of MPEG-1 Layer III frames of silence (128 kbit/s at 44.1 kHz).
std::string MpegSilence(long bytes);
// A 32-bit synchsafe integer, as ID3v2.4 writes sizes.
std::string Synchsafe(unsigned long v);
// An ID3v2.4 frame's header for a body of size bytes.
std::string Id3v24FrameHeader(const std::string& id, unsigned long size, unsigned flags = 0);
// An ID3v2.4 frame: id, synchsafe size, flags, body.
std::string Id3v24Frame(const std::string& id, const std::string& body, unsigned flags = 0);
// An ID3v2.4 tag header for a body of size bytes.
std::string Id3v24Header(unsigned long size);

}  // namespace qtest
