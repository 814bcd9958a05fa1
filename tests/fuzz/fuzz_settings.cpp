// libFuzzer entry for the settings reader (scripts/fuzz.sh).
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return hv::fuzz::settings(data, size); }
