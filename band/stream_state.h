// The band's persisted state: one 32-bit version number and nothing else.
#pragma once

#include <cstdint>

namespace tw {

const std::uint32_t kBandStreamVersion = 0x0300;

// The outcome of IPersistStreamInit::Load, an HRESULT, given the stream's
// answer to the read of the version number: the stream's failure as it is,
// a short read or a newer version as E_FAIL, anything else S_OK.
std::int32_t BandStreamLoadResult(std::int32_t readResult, std::uint32_t bytesRead, std::uint32_t version);

}  // namespace tw
