#include "band/stream_state.h"

namespace tw {
namespace {

// HRESULTs are 32 bits wide whatever the width of long on the build host.
const std::int32_t kOk = 0;
const std::int32_t kFail = std::int32_t(0x80004005u);

}  // namespace

std::int32_t BandStreamLoadResult(std::int32_t readResult, std::uint32_t bytesRead, std::uint32_t version) {
    if (readResult < 0) return readResult;
    // A stream that ends before the number holds no state this band wrote.
    if (bytesRead != sizeof version) return kFail;
    return version > kBandStreamVersion ? kFail : kOk;
}

}  // namespace tw
