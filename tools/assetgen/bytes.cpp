#include "bytes.h"

namespace assetgen {

void appendAscii(Bytes& out, std::string_view text) {
    for (const char c : text)
        out.push_back(static_cast<std::uint8_t>(c));
}

} // namespace assetgen
