// libFuzzer entry for the oldsettings reader (scripts/fuzz.sh).
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return hv::fuzz::oldsettings(data, size); }
