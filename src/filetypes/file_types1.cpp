#include "filetypes/file_types1.h"

#include "platform/core/class_table.h"

namespace quorvane::FileTypes1 {

rt::StaticRef<rt::FileType> pAudioMp3;
rt::StaticRef<rt::FileType> pAudioMp4;
rt::StaticRef<rt::FileType> pAudioAiff;
rt::StaticRef<rt::FileType> pAudioWav;
rt::StaticRef<rt::FileType> pAudioXM4a;
rt::StaticRef<rt::FileType> pAudioXM4a1;

namespace {

struct TypeValues {
  rt::StaticRef<rt::FileType>* type;
  const char* name;
  const char* extensions;
  const char* macType;
  const char* macCreator;
  const char* uti;  // nullptr: the type gets no UTI store at all
};

const TypeValues kTypes[] = {
    {&pAudioMp3, "audio/mp3", ".mp3;.swa", "Mp3 ", "TVOD", "public.mp3"},
    {&pAudioMp4, "audio/mp4", ".mp4", "mpg4", "TVOD", nullptr},
    {&pAudioAiff, "audio/aiff", ".aiff;.aif;.aifc;.cdda", "AIFF", "TVOD", nullptr},
    {&pAudioWav, "audio/wav", ".wav;.bwf", ".WAV", "TVOD", "com.microsoft.waveform-audio"},
    {&pAudioXM4a, "audio/x-m4a", ".m4a", "M4A ", "hook", "public.mpeg-4-audio"},
    {&pAudioXM4a1, "audio/x-m4a", ".m4a", "M4A ", "hook", "public.mpeg-4-audio"},
};

// The static's object, read anew for every call; a nil static raises NilObjectException.
rt::FileType* Tested(const rt::StaticRef<rt::FileType>& type) { return &*type; }

}  // namespace

void _Initialize() {
  rt::String name;  // each conversion's result; not used further
  for (const TypeValues& t : kTypes) {
    {
      Ref<rt::Object> made = rt::RuntimeNewObject(rt::FileType::__Lookup());
      *t.type = Ref<rt::FileType>(static_cast<rt::FileType*>(made.get()));
    }
    rt::FileType::SetName(Tested(*t.type), t.name);
    rt::FileType::SetExtensions(Tested(*t.type), t.extensions);
    rt::FileType::SetMacType(Tested(*t.type), t.macType);
    rt::FileType::SetMacCreator(Tested(*t.type), t.macCreator);
    rt::FileType::SetMimeType(Tested(*t.type), rt::String());
    rt::FileType::SetImported(Tested(*t.type), true);
    rt::FileType::SetConformsTo(Tested(*t.type), rt::String());
    if (t.uti) rt::FileType::SetUTI(Tested(*t.type), t.uti);
    name = rt::FileType::Operator_Convert(Tested(*t.type));
  }
}

rt::String All() { return "audio/mp3;audio/mp4;audio/aiff;audio/wav;audio/x-m4a;audio/x-m4a;"; }

}  // namespace quorvane::FileTypes1
