// Writes the seed corpora of the fuzz targets: the program's five property records, and a
// tagged file of every audio format the tests build. Usage: fuzz_seeds FOLDER
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_inputs.h"
#include "support/audio_fixtures.h"
#include "window/property_records.h"

namespace {

void Write(const std::string& path, uint8_t selector, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.put(static_cast<char>(selector));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(rt::PropertyRecord record) { return {record.begin(), record.end()}; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string records = std::string(argv[1]) + "/property_record_fuzz";
  const std::string tags = std::string(argv[1]) + "/tag_file_fuzz";
  mkdir(argv[1], 0755);
  mkdir(records.c_str(), 0755);
  mkdir(tags.c_str(), 0755);

  namespace R = quorvane::PropertyRecords;
  using T = fuzz::RecordTarget;
  const struct {
    const char* name;
    T target;
    rt::PropertyRecord record;
  } kRecords[] = {{"Window1", T::Window, R::Window1},
                  {"BevelButton1", T::BevelButton, R::BevelButton1},
                  {"Listbox1", T::Listbox, R::Listbox1},
                  {"Label4", T::Label, R::Label4},
                  {"TextArea1", T::TextArea, R::TextArea1}};
  for (const auto& r : kRecords)
    Write(records + "/" + r.name, static_cast<uint8_t>(r.target), Bytes(r.record));

  qtest::ScratchFolder scratch;
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    const std::string path = scratch / (std::string("seed") + f.extension);
    qtest::WriteTaggedAudio(path, f.format, std::string("Title ") + f.name, "Artist");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Write(tags + "/" + f.name, static_cast<uint8_t>(fuzz::ExtensionIndexOf(f.extension)), bytes);
  }
  return 0;
}
