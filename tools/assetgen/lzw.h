#pragma once

#include "bytes.h"

#include <cstdint>
#include <span>

namespace assetgen {

// GIF's variable-width LZW: codes start one bit wider than minCodeSize, grow up to 12 bits and
// are packed least significant bit first. The stream opens with a clear code and ends with
// the end-of-information code; a full table is cleared and started again.
Bytes lzwEncode(std::span<const std::uint8_t> symbols, int minCodeSize);

} // namespace assetgen
