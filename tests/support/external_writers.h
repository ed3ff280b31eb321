// Audio files made as other tools make them: ffmpeg encodes and tags, python3-mutagen tags,
// and ffprobe and mutagen read back, so that what the tag plugin reads was not written by
// the library it reads with. Tests skip when a tool is missing (scripts/deps installs both).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qtest {

bool HaveFfmpeg();
bool HaveMutagen();

// Encodes a third of a second of silence to path: ffmpeg ARGS... PATH, with the arguments
// before the output (codec, format, -metadata). False when ffmpeg fails.
bool Ffmpeg(const std::vector<std::string>& args, const std::string& path);

// Runs a Python program with mutagen at hand; the file's path is `path` in it.
bool Mutagen(const std::string& program, const std::string& path);

// "title - artist" as ffprobe reads the file (its format's tags, else its first stream's),
// nothing when ffprobe finds neither.
std::optional<std::string> FfprobeLine(const std::string& path);
// The same as mutagen reads it (mutagen.File with easy keys).
std::optional<std::string> MutagenLine(const std::string& path);

}  // namespace qtest
