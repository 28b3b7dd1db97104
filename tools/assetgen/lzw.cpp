#include "lzw.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace assetgen {

namespace {
constexpr int maxCodeBits = 12;
constexpr unsigned tableLimit = 1u << maxCodeBits;

class BitPacker {
public:
    void put(unsigned code, int width) {
        pending_ |= code << pendingBits_;
        pendingBits_ += width;
        while (pendingBits_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(pending_ & 0xFFu));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
    }

    Bytes finish() {
        if (pendingBits_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(pending_ & 0xFFu));
        return std::move(bytes_);
    }

private:
    Bytes bytes_;
    unsigned pending_ = 0;
    int pendingBits_ = 0;
};

// The string table: the code for "prefix followed by symbol", or 0 when there is none yet.
class StringTable {
public:
    StringTable(unsigned alphabet, int minCodeSize)
        : alphabet_(alphabet), firstWidth_(minCodeSize + 1),
          links_(static_cast<std::size_t>(tableLimit) * alphabet, 0) {
        clear();
    }

    void clear() {
        std::fill(links_.begin(), links_.end(), std::uint16_t{0});
        next_ = alphabet_ + 2; // after the clear and end codes
        width_ = firstWidth_;
    }

    unsigned find(unsigned prefix, unsigned symbol) const { return links_[slot(prefix, symbol)]; }

    // Returns true when the table is full and must be cleared.
    bool add(unsigned prefix, unsigned symbol) {
        links_[slot(prefix, symbol)] = static_cast<std::uint16_t>(next_);
        return grow();
    }

    // The decoder defines a table entry one code later than the encoder does, so after the last
    // code it still counts one more entry; the end code must be written at the width that count
    // implies.
    void countEntryDecoderAddsLast() {
        if (next_ >= (1u << width_) && width_ < maxCodeBits)
            ++width_;
    }

    int width() const { return width_; }

private:
    std::size_t slot(unsigned prefix, unsigned symbol) const {
        return static_cast<std::size_t>(prefix) * alphabet_ + symbol;
    }

    bool grow() {
        const unsigned added = next_++;
        if (added >= (1u << width_) && width_ < maxCodeBits)
            ++width_;
        return next_ == tableLimit;
    }

    unsigned alphabet_;
    int firstWidth_;
    std::vector<std::uint16_t> links_;
    unsigned next_ = 0;
    int width_ = 0;
};
} // namespace

Bytes lzwEncode(std::span<const std::uint8_t> symbols, int minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8)
        throw std::out_of_range("LZW encoding: minimum code size " + std::to_string(minCodeSize) +
                                " is outside 2..8");
    const unsigned alphabet = 1u << minCodeSize;
    const unsigned clearCode = alphabet;
    const unsigned endCode = alphabet + 1;

    StringTable table(alphabet, minCodeSize);
    BitPacker packer;
    packer.put(clearCode, table.width());

    bool started = false;
    unsigned prefix = 0;
    for (const std::uint8_t symbol : symbols) {
        if (symbol >= alphabet)
            throw std::out_of_range("LZW encoding: symbol " + std::to_string(symbol) +
                                    " needs more than " + std::to_string(minCodeSize) + " bits");
        if (!started) {
            prefix = symbol;
            started = true;
            continue;
        }
        if (const unsigned code = table.find(prefix, symbol); code != 0) {
            prefix = code;
            continue;
        }
        packer.put(prefix, table.width());
        if (table.add(prefix, symbol)) {
            packer.put(clearCode, table.width());
            table.clear();
        }
        prefix = symbol;
    }
    if (started) {
        packer.put(prefix, table.width());
        table.countEntryDecoderAddsLast();
    }
    packer.put(endCode, table.width());
    return packer.finish();
}

} // namespace assetgen
