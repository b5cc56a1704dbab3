// The bus engine's rules under any bytes at any times: a reply is credited only when
// it repeats the address and command sent (strict), nothing is sent again before the
// line has been quiet for the settle period after a deadline, never more attempts
// than allowed, and nothing at all once the exchange has ended.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bus/exchange.h"
#include "protocol/reply.h"
#include "protocol/request.h"

namespace {

using namespace tarvok;
using bus::Micros;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Bytes a line may carry: replies to this frame or another, its echo, or noise.
std::vector<std::uint8_t> chunk(FuzzedDataProvider& in, const protocol::Frame& sent) {
    protocol::Frame frame = sent;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        frame = protocol::make_reply(sent[1], sent[2], in.ConsumeBool());
        break;
    case 1:
        frame = protocol::make_reply(in.ConsumeIntegral<std::uint8_t>(),
                                     in.ConsumeIntegral<std::uint8_t>(), in.ConsumeBool());
        break;
    case 2:
        break;  // the echo
    default:
        return in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 12));
    }
    const auto from = in.ConsumeIntegralInRange<std::size_t>(0, 7);
    const auto to = in.ConsumeIntegralInRange<std::size_t>(from, 8);
    return {frame.begin() + static_cast<std::ptrdiff_t>(from),
            frame.begin() + static_cast<std::ptrdiff_t>(to)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    bus::Request request;
    request.frame = protocol::encode(in.ConsumeIntegral<std::uint8_t>(),
                                     protocol::ModeSetting{3, protocol::Mode::self_lock});
    request.retries = in.ConsumeIntegralInRange(0, 3);
    request.timing = {Micros(in.ConsumeIntegralInRange(1, 200'000)),
                      Micros(in.ConsumeIntegralInRange(1, 50'000)),
                      Micros(in.ConsumeIntegralInRange(0, 200'000))};
    bus::Exchange exchange(request);
    Micros now{1'000'000};
    Micros last_byte{0};
    int sends = 0;
    bus::Step step = exchange.start(now);
    sends += step.send ? 1 : 0;
    while (in.remaining_bytes() > 0) {
        const bool was_finished = exchange.finished();
        if (in.ConsumeBool() || !step.wake) {
            now += Micros(in.ConsumeIntegralInRange(0, 60'000));
            const auto bytes = chunk(in, request.frame);
            step = exchange.take(bytes, now);
            last_byte = bytes.empty() ? last_byte : now;
        } else {
            now = std::max(now, *step.wake);
            step = exchange.tick(now);
        }
        if (step.send) {
            ++sends;
            require(!was_finished, "sent after the end");
            require(now - last_byte >= request.timing.settle, "sent before the line settled");
        }
        require(sends <= request.retries + 1, "more attempts than allowed");
        exchange.take_notes();
    }
    if (const auto& reply = exchange.result().reply) {
        require(protocol::echoes(*reply, request.frame), "credited another frame's reply");
        require(protocol::accepted(protocol::judge(*reply)),
                "credited a frame that fails the check");
    }
    return 0;
}
