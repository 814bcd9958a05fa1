// libFuzzer entry for the extract reader (scripts/fuzz.sh).
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return hv::fuzz::extract(data, size); }
