// What TagLib alone reads of a file, by the tag plugin's rules but with none of its code: a
// reference to check the plugin against. Folders, special files and bounds are not its
// business.
#pragma once

#include <optional>
#include <string>

namespace qtest {

// "title - artist" as TagLib reads it, or nothing when the file has no readable tag: no
// reader takes it, or it holds no audio. A reader chosen by the extension that finds no
// audio gives way to TagLib's detection by content; an MP4 track of sound counts as audio
// whatever its codec; a WAV's empty ID3v2 fields are filled from its RIFF INFO tag.
std::optional<std::string> TagLibLine(const std::string& path);

}  // namespace qtest
