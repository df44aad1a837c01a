#include "app/tool_qt_part.h"

#include <cstdio>

#ifdef SLM_QT_PART_FILE
#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

// The Qt part's library, carried in slmtool's own read-only data.
asm(".pushsection .rodata\n"
    ".balign 64\n"
    ".globl slm_qt_part_begin\n"
    ".hidden slm_qt_part_begin\n"
    "slm_qt_part_begin:\n"
    ".incbin \"" SLM_QT_PART_FILE
    "\"\n"
    ".globl slm_qt_part_end\n"
    ".hidden slm_qt_part_end\n"
    "slm_qt_part_end:\n"
    ".popsection\n");
extern "C" const char slm_qt_part_begin[];
extern "C" const char slm_qt_part_end[];
#endif

namespace slm::tool {

#ifdef SLM_QT_PART_FILE
namespace {

// Loads the carried library from a file in memory, which the system's loader
// then links against the Qt libraries it names.
const QtPart* LoadCarriedPart(const std::string& command) {
  const char* failed = nullptr;
  std::string reason;
  // The file in memory counts against the limit on the size of files a
  // process writes (ulimit -f), which is meant for the user's files: it is
  // lifted as far as it can be while the part is written.
  const std::size_t size = slm_qt_part_end - slm_qt_part_begin;
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit lifted{limit.rlim_max, limit.rlim_max};
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < size) {
    failed = "cannot make room for it in memory";
    reason = "the limit on the size of files (ulimit -f) is below its " + std::to_string(size) +
             " bytes";
  } else {
    ::setrlimit(RLIMIT_FSIZE, &lifted);
  }
  const int fd = failed != nullptr ? -1 : ::memfd_create("slmtool-qt", MFD_CLOEXEC);
  if (failed == nullptr && fd < 0) {
    failed = "cannot make room for it in memory";
    reason = std::strerror(errno);
  }
  for (const char* at = slm_qt_part_begin; failed == nullptr && at < slm_qt_part_end;) {
    const ssize_t written = ::write(fd, at, slm_qt_part_end - at);
    if (written > 0) {
      at += written;
    } else if (written < 0 && errno != EINTR) {
      failed = "cannot make room for it in memory";
      reason = std::strerror(errno);
    }
  }
  ::setrlimit(RLIMIT_FSIZE, &limit);
  void* library = nullptr;
  if (failed == nullptr) {
    library = ::dlopen(("/proc/self/fd/" + std::to_string(fd)).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      failed = "cannot load it";
      reason = ::dlerror();
    }
  }
  if (fd >= 0) ::close(fd);  // the loader keeps its own mapping
  using Entry = const QtPart* (*)();
  const auto entry =
      library != nullptr ? reinterpret_cast<Entry>(::dlsym(library, "SlmToolQtPart")) : nullptr;
  if (failed == nullptr && entry == nullptr) {
    failed = "cannot load it";
    reason = "it has no entry";
  }
  if (failed != nullptr) {
    std::fprintf(stderr,
                 "slmtool %s: this command needs the part of slmtool that uses the Qt libraries, "
                 "and slmtool %s: %s\n",
                 command.c_str(), failed, reason.c_str());
    return nullptr;
  }
  return entry();
}

}  // namespace
#endif

const QtPart* LoadQtPart(const std::string& command) {
#ifdef SLM_QT_PART_FILE
  static const QtPart* part = nullptr;
  if (part == nullptr) part = LoadCarriedPart(command);
  return part;
#else
  (void)command;
  return SlmToolQtPart();
#endif
}

ToolDrawing* LoadDrawing(const std::string& command) {
  const QtPart* part = LoadQtPart(command);
  return part != nullptr ? part->drawing(command) : nullptr;
}

}  // namespace slm::tool
