// The simulator's frame reader: the same bytes give the same frames however they
// are cut into pieces, every frame starts 0x55 and carries its checksum, and the
// frames are the ones a plain left-to-right scan of the whole stream finds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "sim/module_engine.h"

namespace {

using tarvok::protocol::Frame;
using tarvok::sim::FrameReader;
using Bytes = std::vector<std::uint8_t>;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool is_command(std::span<const std::uint8_t> b) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        sum += b[i];
    }
    return b[0] == 0x55 && b[7] == (sum & 0xFFU);
}

// Left to right: a command frame where one starts, otherwise one byte further.
std::vector<Frame> scan(const Bytes& bytes) {
    std::vector<Frame> frames;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const std::span<const std::uint8_t> here(bytes.data() + at, 8);
        if (is_command(here)) {
            Frame frame{};
            std::copy(here.begin(), here.end(), frame.begin());
            frames.push_back(frame);
            at += 8;
        } else {
            ++at;
        }
    }
    return frames;
}

std::vector<Frame> read_in(const std::vector<Bytes>& pieces) {
    FrameReader reader;
    std::vector<Frame> frames;
    for (const auto& piece : pieces) {
        const auto found = reader.push(piece);
        frames.insert(frames.end(), found.begin(), found.end());
    }
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<Bytes> pieces;
    Bytes whole;
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 24);
        pieces.push_back(input.ConsumeBytes<std::uint8_t>(length));
        whole.insert(whole.end(), pieces.back().begin(), pieces.back().end());
    }
    std::vector<Bytes> single_bytes;
    for (std::uint8_t byte : whole) {
        single_bytes.push_back({byte});
    }

    const auto in_pieces = read_in(pieces);
    for (const auto& frame : in_pieces) {
        require(is_command(frame), "a frame without start byte or checksum");
    }
    require(in_pieces == read_in({whole}), "pieces and the whole stream differ");
    require(in_pieces == read_in(single_bytes), "single bytes and the whole stream differ");
    require(in_pieces == scan(whole), "frames differ from a plain scan");
    return 0;
}
