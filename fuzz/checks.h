#pragma once

#include <string>
#include <string_view>

// What each fuzz target asserts about one input. Each returns an empty text
// when the input passed, else what went wrong; the fuzz targets abort on it
// and the regression test reports it.
namespace slm::fuzz {

// The data-file reader takes the input; what it read, written as a data file
// and as a CSV file, reads back as the same list.
std::string CheckDataFile(std::string_view input);

// The live-frame finder and the decoders of a live reading take any bytes;
// a decoded reading is consistent with the frame.
std::string CheckLiveFrame(std::string_view input);

// The stored-sets parser takes any text, failing only with its own error.
std::string CheckStoredSets(std::string_view input);

}  // namespace slm::fuzz
