// libFuzzer target: aborts on any input that fails slm::fuzz::CheckStoredSets.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string error =
      slm::fuzz::CheckStoredSets(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!error.empty()) {
    std::fprintf(stderr, "check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
