#include "platform/ui/display_check.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string_view>

namespace rt {

namespace {

// Each platform Qt is asked for (a list, ";" between, options after ":") must be a desktop's.
bool DesktopPlatformsOnly(std::string_view list) {
  while (!list.empty()) {
    const size_t end = list.find(';');
    std::string_view name = list.substr(0, end);
    name = name.substr(0, name.find(':'));
    if (name != "xcb" && !name.starts_with("wayland")) return false;
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return true;
}

// Qt aborts on a display it cannot reach and waits forever on one that never answers: a
// child tries first, bounded in time, and the parent never touches the display until it has.
bool ChildReachesDisplay() {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    static int argc = 1;
    static char arg0[] = "quorvane";
    static char* argv[] = {arg0, nullptr};
    QGuiApplication app(argc, argv);
    _exit(QGuiApplication::primaryScreen() ? 0 : 1);
  }
  // Generous: on a busy machine loading Qt's display plugins alone can take seconds.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child)
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    usleep(10'000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return false;
}

}  // namespace

bool GraphicalDisplayUsable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) {
    if (!DesktopPlatformsOnly(platform)) return false;
  } else if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    return false;
  }
  return ChildReachesDisplay();
}

}  // namespace rt
