// Reads the input as a file through the tag plugin: the name's extension comes from the
// first byte, the file's bytes are the rest. No bytes may crash, hang or leak.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup.h"
#include "fuzz/fuzz_inputs.h"
#include "platform/files/folder_item.h"
#include "platform/plugins/tags/tag_plugin.h"

namespace {

std::string gFolder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* shm = "/dev/shm";
  const char* tmp = getenv("TMPDIR");
  std::string base = access(shm, W_OK) == 0 ? shm : (tmp && *tmp ? tmp : "/tmp");
  std::string pattern = base + "/quorvane-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  gFolder = pattern;
  std::atexit([] { rmdir(gFolder.c_str()); });
  quorvane::_InitPluginEntrypoints();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string path =
      gFolder + "/input" + fuzz::kExtensions[data[0] % fuzz::kExtensions.size()];
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(data + 1, 1, size - 1, out);
  std::fclose(out);

  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
  rt::Ref<rt::TagLibFileRefExt> ref(static_cast<rt::TagLibFileRefExt*>(made.get()));
  rt::Ref<rt::FolderItem> file = rt::FolderItem::FromPath(path);
  rt::TagLibFileRefExt::Constructor(ref.get(), file.get());
  if (rt::Ref<rt::TagLibTagExt> tag = rt::TagLibFileRefExt::tags(ref.get())) {
    ref.reset();  // the tag outlives its file reference
    rt::TagLibTagExt::Title(tag.get());
    rt::TagLibTagExt::Artist(tag.get());
  }
  std::remove(path.c_str());
  return 0;
}
