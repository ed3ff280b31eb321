// FileTypes1: the program's six audio file types and the filter text that names them.
#pragma once

#include "platform/file_type.h"
#include "platform/text.h"

namespace quorvane::FileTypes1 {

using rt::Ref;

extern rt::StaticRef<rt::FileType> pAudioMp3;
extern rt::StaticRef<rt::FileType> pAudioMp4;
extern rt::StaticRef<rt::FileType> pAudioAiff;
extern rt::StaticRef<rt::FileType> pAudioWav;
extern rt::StaticRef<rt::FileType> pAudioXM4a;
extern rt::StaticRef<rt::FileType> pAudioXM4a1;

void _Initialize();
rt::String All();


}  // namespace quorvane::FileTypes1
