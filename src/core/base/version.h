#pragma once

namespace slm {

// The version both programs print for --version.
inline constexpr const char* kProgramVersion = "0.1.0";

}  // namespace slm
