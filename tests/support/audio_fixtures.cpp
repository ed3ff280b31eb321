#include "support/audio_fixtures.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qtest {

namespace {

using Bytes = std::string;

Bytes Le(uint64_t v, int n) {
  Bytes b;
  for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}
Bytes Be(uint64_t v, int n) {
  Bytes b;
  for (int i = n - 1; i >= 0; --i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}
Bytes Zeros(size_t n) { return Bytes(n, '\0'); }

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

// 8 kHz mono 16-bit PCM, 0.1 s.
Bytes Wav() {
  const Bytes fmt = Le(1, 2) + Le(1, 2) + Le(8000, 4) + Le(16000, 4) + Le(2, 2) + Le(16, 2);
  const Bytes data = Zeros(1600);
  const Bytes body =
      "WAVE" + ("fmt " + Le(fmt.size(), 4) + fmt) + ("data" + Le(data.size(), 4) + data);
  return "RIFF" + Le(body.size(), 4) + body;
}

// 44.1 kHz mono 16-bit PCM, 0.1 s.
Bytes Aiff() {
  const Bytes rate44100 = Bytes("\x40\x0E\xAC\x44", 4) + Zeros(6);  // 80-bit extended
  const Bytes comm = Be(1, 2) + Be(4410, 4) + Be(16, 2) + rate44100;
  const Bytes ssnd = Be(0, 4) + Be(0, 4) + Zeros(8820);
  const Bytes body =
      "AIFF" + ("COMM" + Be(comm.size(), 4) + comm) + ("SSND" + Be(ssnd.size(), 4) + ssnd);
  return "FORM" + Be(body.size(), 4) + body;
}

// Ten MPEG-1 Layer III frames, 128 kbit/s, 44.1 kHz, mono: 417 bytes each.
Bytes Mp3() {
  Bytes out;
  for (int i = 0; i < 10; ++i) out += Bytes("\xFF\xFB\x90\xC0", 4) + Zeros(413);
  return out;
}

// STREAMINFO for 4410 samples at 44.1 kHz, mono, 16 bit, then the start of a frame.
Bytes Flac() {
  const uint64_t packed =
      (uint64_t{44100} << 44) | (uint64_t{0} << 41) | (uint64_t{15} << 36) | 4410;
  const Bytes info = Be(4096, 2) + Be(4096, 2) + Be(0, 3) + Be(0, 3) + Be(packed, 8) + Zeros(16);
  return "fLaC" + Bytes(1, '\x80') + Be(info.size(), 3) + info + Bytes("\xFF\xF8", 2) + Zeros(62);
}

uint32_t OggCrc(const Bytes& page) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (unsigned char c : page) crc = (crc << 8) ^ table[((crc >> 24) ^ c) & 0xFF];
  return crc;
}

Bytes OggPage(uint8_t headerType, uint64_t granule, uint32_t sequence,
              const std::vector<Bytes>& packets) {
  Bytes lacing, data;
  for (const Bytes& p : packets) {
    size_t n = p.size();
    while (n >= 255) lacing += '\xFF', n -= 255;
    lacing += static_cast<char>(n);
    data += p;
  }
  Bytes page = "OggS" + Bytes(1, '\0') + Bytes(1, static_cast<char>(headerType)) + Le(granule, 8) +
               Le(0x51524f56, 4) + Le(sequence, 4) + Le(0, 4) +
               Bytes(1, static_cast<char>(lacing.size())) + lacing + data;
  const Bytes crc = Le(OggCrc(page), 4);
  page.replace(22, 4, crc);
  return page;
}

const Bytes kVendor = "quorvane test fixture";

// 4410 samples at 44.1 kHz, mono.
Bytes OggVorbis() {
  const Bytes ident = "\x01vorbis" + Le(0, 4) + Bytes(1, '\x01') + Le(44100, 4) + Le(0, 4) +
                      Le(64000, 4) + Le(0, 4) + Bytes("\xB8\x01", 2);
  const Bytes comment =
      "\x03vorbis" + Le(kVendor.size(), 4) + kVendor + Le(0, 4) + Bytes(1, '\x01');
  const Bytes setup = "\x05vorbis" + Zeros(16);
  return OggPage(0x02, 0, 0, {ident}) + OggPage(0x00, 0, 1, {comment, setup}) +
         OggPage(0x04, 4410, 2, {Zeros(16)});
}

// 0.1 s at 48 kHz after the pre-skip, mono.
Bytes Opus() {
  const Bytes head = "OpusHead" + Bytes(1, '\x01') + Bytes(1, '\x01') + Le(312, 2) + Le(48000, 4) +
                     Le(0, 2) + Bytes(1, '\0');
  const Bytes tags = "OpusTags" + Le(kVendor.size(), 4) + kVendor + Le(0, 4);
  return OggPage(0x02, 0, 0, {head}) + OggPage(0x00, 0, 1, {tags}) +
         OggPage(0x04, 312 + 4800, 2, {Bytes(1, '\xF8') + Zeros(15)});
}

Bytes Atom(const char* type, const Bytes& payload) {
  return Be(8 + payload.size(), 4) + type + payload;
}

Bytes Matrix() {
  return Be(0x00010000, 4) + Be(0, 4) + Be(0, 4) + Be(0, 4) + Be(0x00010000, 4) + Be(0, 4) +
         Be(0, 4) + Be(0, 4) + Be(0x40000000, 4);
}

// One AAC track of 4410 samples at 44.1 kHz, mono; the sample table points into mdat.
Bytes M4a() {
  const Bytes ftyp = Atom("ftyp", "M4A " + Be(0, 4) + "M4A mp42isom");
  const Bytes media = Zeros(32);
  auto moov = [&](uint32_t mediaOffset) {
    const Bytes mvhd =
        Atom("mvhd", Be(0, 4) + Be(0, 4) + Be(0, 4) + Be(1000, 4) + Be(100, 4) + Be(0x00010000, 4) +
                         Be(0x0100, 2) + Zeros(10) + Matrix() + Zeros(24) + Be(2, 4));
    const Bytes tkhd = Atom("tkhd", Be(7, 4) + Be(0, 4) + Be(0, 4) + Be(1, 4) + Be(0, 4) +
                                        Be(100, 4) + Zeros(8) + Be(0, 2) + Be(0, 2) +
                                        Be(0x0100, 2) + Be(0, 2) + Matrix() + Be(0, 4) + Be(0, 4));
    const Bytes mdhd = Atom("mdhd", Be(0, 4) + Be(0, 4) + Be(0, 4) + Be(44100, 4) + Be(4410, 4) +
                                        Be(0x55C4, 2) + Be(0, 2));
    const Bytes hdlr =
        Atom("hdlr", Be(0, 4) + Be(0, 4) + "soun" + Zeros(12) + Bytes("SoundHandler\0", 13));
    const Bytes smhd = Atom("smhd", Be(0, 4) + Be(0, 2) + Be(0, 2));
    const Bytes dinf = Atom("dinf", Atom("dref", Be(0, 4) + Be(1, 4) + Atom("url ", Be(1, 4))));
    const Bytes mp4a = Atom("mp4a", Zeros(6) + Be(1, 2) + Zeros(8) + Be(1, 2) + Be(16, 2) +
                                        Be(0, 2) + Be(0, 2) + Be(uint64_t{44100} << 16, 4));
    const Bytes stbl =
        Atom("stbl", Atom("stsd", Be(0, 4) + Be(1, 4) + mp4a) +
                         Atom("stts", Be(0, 4) + Be(1, 4) + Be(1, 4) + Be(4410, 4)) +
                         Atom("stsc", Be(0, 4) + Be(1, 4) + Be(1, 4) + Be(1, 4) + Be(1, 4)) +
                         Atom("stsz", Be(0, 4) + Be(0, 4) + Be(1, 4) + Be(media.size(), 4)) +
                         Atom("stco", Be(0, 4) + Be(1, 4) + Be(mediaOffset, 4)));
    const Bytes minf = Atom("minf", smhd + dinf + stbl);
    return Atom("moov", mvhd + Atom("trak", tkhd + Atom("mdia", mdhd + hdlr + minf)));
  };
  const size_t offset = ftyp.size() + moov(0).size() + 8;
  return ftyp + moov(static_cast<uint32_t>(offset)) + Atom("mdat", media);
}

}  // namespace

const std::vector<AudioFormatInfo>& AllAudioFormats() {
  static const std::vector<AudioFormatInfo> all = {
      {AudioFormat::Wav, "Wav", ".wav"},
      {AudioFormat::Aiff, "Aiff", ".aiff"},
      {AudioFormat::Mp3, "Mp3", ".mp3"},
      {AudioFormat::Flac, "Flac", ".flac"},
      {AudioFormat::OggVorbis, "OggVorbis", ".ogg"},
      {AudioFormat::Opus, "Opus", ".opus"},
      {AudioFormat::M4a, "M4a", ".m4a"},
  };
  return all;
}

void WriteAudio(const std::string& path, AudioFormat format) {
  switch (format) {
    case AudioFormat::Wav:
      return WriteBytes(path, Wav());
    case AudioFormat::Aiff:
      return WriteBytes(path, Aiff());
    case AudioFormat::Mp3:
      return WriteBytes(path, Mp3());
    case AudioFormat::Flac:
      return WriteBytes(path, Flac());
    case AudioFormat::OggVorbis:
      return WriteBytes(path, OggVorbis());
    case AudioFormat::Opus:
      return WriteBytes(path, Opus());
    case AudioFormat::M4a:
      return WriteBytes(path, M4a());
  }
}

void WriteTag(const std::string& path, const std::string& title, const std::string& artist) {
  TagLib::FileRef file(path.c_str());
  ASSERT_FALSE(file.isNull()) << "TagLib cannot open " << path;
  ASSERT_NE(file.tag(), nullptr) << path;
  file.tag()->setTitle(TagLib::String(title, TagLib::String::UTF8));
  file.tag()->setArtist(TagLib::String(artist, TagLib::String::UTF8));
  ASSERT_TRUE(file.save()) << "TagLib cannot tag " << path;
}

void WriteTaggedAudio(const std::string& path, AudioFormat format, const std::string& title,
                      const std::string& artist) {
  WriteAudio(path, format);
  WriteTag(path, title, artist);
}

void WriteText(const std::string& path, const std::string& text) { WriteBytes(path, text); }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScratchFolder::ScratchFolder() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvane-test-XXXXXX";
  if (char* made = mkdtemp(pattern.data())) path_ = made;
  EXPECT_FALSE(path_.empty()) << "cannot make a scratch folder";
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace qtest
