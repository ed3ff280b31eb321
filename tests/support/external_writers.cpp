#include "support/external_writers.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace qtest {

namespace {

// Debian's interpreter, where python3-mutagen lives (not whatever python3 the PATH finds).
constexpr const char* kPython = "/usr/bin/python3";

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool Run(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<std::string> Output(const std::string& command) {
  FILE* p = popen(command.c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  std::array<char, 4096> buf;
  while (size_t n = fread(buf.data(), 1, buf.size(), p)) out.append(buf.data(), n);
  const int status = pclose(p);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

// "title\nartist\n" from mutagen's output, as a line; nothing when both are missing.
std::optional<std::string> AsLine(const std::optional<std::string>& out) {
  if (!out || out->empty() || *out == "\n\n") return std::nullopt;
  const size_t nl = out->find('\n');
  if (nl == std::string::npos) return std::nullopt;
  std::string artist = out->substr(nl + 1);
  if (!artist.empty() && artist.back() == '\n') artist.pop_back();
  return out->substr(0, nl) + " - " + artist;
}

}  // namespace

bool HaveFfmpeg() { return Run("ffmpeg -version") && Run("ffprobe -version"); }
bool HaveMutagen() { return Run(std::string(kPython) + " -c 'import mutagen'"); }

bool Ffmpeg(const std::vector<std::string>& args, const std::string& path) {
  std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i anullsrc=r=44100:cl=mono -t 0.33";
  for (const std::string& a : args) command += " " + Quote(a);
  return Run(command + " " + Quote(path));
}

bool Mutagen(const std::string& program, const std::string& path) {
  return Run(std::string(kPython) + " -c " + Quote("import sys\npath = sys.argv[1]\n" + program) +
             " " + Quote(path));
}

std::optional<std::string> FfprobeLine(const std::string& path) {
  // Tags come in the file's order, as TAG:key=value lines.
  auto line = [](const std::optional<std::string>& out) -> std::optional<std::string> {
    if (!out) return std::nullopt;
    std::string title, artist;
    size_t at = 0;
    while (at < out->size()) {
      size_t end = out->find('\n', at);
      if (end == std::string::npos) end = out->size();
      const std::string l = out->substr(at, end - at);
      at = end + 1;
      std::string key = l.substr(0, l.find('='));
      for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (key == "tag:title") title = l.substr(l.find('=') + 1);
      if (key == "tag:artist") artist = l.substr(l.find('=') + 1);
    }
    if (title.empty() && artist.empty()) return std::nullopt;
    return title + " - " + artist;
  };
  const std::string ask = "ffprobe -v error -of default=nw=1 -show_entries ";
  if (auto l = line(Output(ask + "format_tags " + Quote(path)))) return l;
  return line(Output(ask + "stream_tags -select_streams a:0 " + Quote(path)));
}

std::optional<std::string> MutagenLine(const std::string& path) {
  const std::string program =
      "import sys, mutagen\n"
      "f = mutagen.File(sys.argv[1], easy=True)\n"
      "if f is None or f.tags is None: sys.exit(1)\n"
      "get = lambda k: (f.tags.get(k) or [''])[0]\n"
      "print(get('title')); print(get('artist'))\n";
  return AsLine(Output(std::string(kPython) + " -c " + Quote(program) + " " + Quote(path)));
}

}  // namespace qtest
