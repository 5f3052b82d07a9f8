// The platform's result and type codes that the seams speak in, by their
// Windows values, so that fakes and realisations answer alike.
#pragma once

#include <cstdint>

namespace tw {

const long kErrorSuccess = 0;
const long kErrorFileNotFound = 2;
const long kErrorAccessDenied = 5;
const long kErrorInvalidHandle = 6;
const long kErrorNotEnoughMemory = 8;
const long kErrorWriteFault = 29;
const long kErrorSharingViolation = 32;
const long kErrorInvalidParameter = 87;
const long kErrorDiskFull = 112;
const long kErrorInsufficientBuffer = 122;
const long kErrorMoreData = 234;
const long kErrorNoMoreItems = 259;
const long kErrorPrivilegeNotHeld = 1314;
const long kErrorCancelled = 1223;  // the user declined the consent prompt
const long kErrorTimeout = 1460;

const std::uint32_t kRegSz = 1;
const std::uint32_t kRegExpandSz = 2;
const std::uint32_t kRegBinary = 3;
const std::uint32_t kRegDword = 4;
const std::uint32_t kRegMultiSz = 7;

// HRESULTs as the COM seams answer them.
const long kS_OK = 0;
const long kS_FALSE = 1;
// Negative on every platform: long is 64 bits wide off Windows, where the
// unsigned spelling of an HRESULT would be a large positive number.
const long kE_FAIL = long(std::int32_t(0x80004005u));
const long kE_NOTIMPL = long(std::int32_t(0x80004001u));
const long kE_POINTER = long(std::int32_t(0x80004003u));
const long kE_OUTOFMEMORY = long(std::int32_t(0x8007000Eu));
const long kREGDB_E_CLASSNOTREG = long(std::int32_t(0x80040154u));
// The Win32 refusals as HRESULTs: E_ACCESSDENIED, and ERROR_PRIVILEGE_NOT_HELD.
const long kE_ACCESSDENIED = long(std::int32_t(0x80070005u));
const long kE_PRIVILEGE_NOT_HELD = long(std::int32_t(0x80070522u));
const long kRPC_E_CHANGED_MODE = long(std::int32_t(0x80010106u));
inline bool Failed(long hr) { return hr < 0; }

}  // namespace tw
