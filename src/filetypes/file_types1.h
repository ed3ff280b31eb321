// FileTypes1: the program's six audio file types and the filter text that names them.
#pragma once

#include "platform/core/text.h"
#include "platform/files/file_type.h"

namespace quorvane::FileTypes1 {

using rt::Ref;

// Nil from load until _Initialize fills them; each then holds its type's only reference.
extern rt::StaticRef<rt::FileType> pAudioMp3;
extern rt::StaticRef<rt::FileType> pAudioMp4;
extern rt::StaticRef<rt::FileType> pAudioAiff;
extern rt::StaticRef<rt::FileType> pAudioWav;
extern rt::StaticRef<rt::FileType> pAudioXM4a;
extern rt::StaticRef<rt::FileType> pAudioXM4a1;

// Makes, fills and registers the six types, in declaration order. An error leaves the
// statics filled so far as they are and travels on.
void _Initialize();
// The filter text naming the six types; fixed, whether or not they exist.
rt::String All();

}  // namespace quorvane::FileTypes1
