#pragma once
// One entry per reader of files written elsewhere, shared by the libFuzzer
// targets (built by clang with sanitizers, scripts/fuzz.sh) and by the
// ordinary test that replays the inputs kept in regressions/. Each checks
// what the reader promises and aborts when a promise is broken.
#include <cstddef>
#include <cstdint>

namespace hv::fuzz {

int delimited(const std::uint8_t* data, std::size_t size);
int dbf(const std::uint8_t* data, std::size_t size);
int tid(const std::uint8_t* data, std::size_t size);
int pagefile(const std::uint8_t* data, std::size_t size);
int settings(const std::uint8_t* data, std::size_t size);
int archive(const std::uint8_t* data, std::size_t size);
int extract(const std::uint8_t* data, std::size_t size);
int oldsettings(const std::uint8_t* data, std::size_t size);

} // namespace hv::fuzz
