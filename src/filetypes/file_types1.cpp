#include "filetypes/file_types1.h"

namespace quorvane::FileTypes1 {

rt::StaticRef<rt::FileType> pAudioMp3;
rt::StaticRef<rt::FileType> pAudioMp4;
rt::StaticRef<rt::FileType> pAudioAiff;
rt::StaticRef<rt::FileType> pAudioWav;
rt::StaticRef<rt::FileType> pAudioXM4a;
rt::StaticRef<rt::FileType> pAudioXM4a1;

void _Initialize() {}

rt::String All() { return "audio/mp3;audio/mp4;audio/aiff;audio/wav;audio/x-m4a;audio/x-m4a;"; }

}  // namespace quorvane::FileTypes1
