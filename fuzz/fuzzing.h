// What the fuzz targets share: a headless application for fonts, and the libFuzzer entry that
// each target defines. The targets build with libFuzzer where clang is used, and otherwise
// with driver.cpp, which replays a corpus and mutates it for a while.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzzing {

// Creates the headless application once (texts need fonts) and fixes the screen measures.
void SetUpOnce();

// The slowest single script line seen so far, in milliseconds (reported when the
// target ends).
double& SlowestLineMs();

}  // namespace fuzzing
