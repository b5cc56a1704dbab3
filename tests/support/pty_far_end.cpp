#include "tests/support/pty_far_end.h"

#include <unistd.h>

#include <array>

#include "protocol/reply.h"

namespace tarvok::test {

PtyFarEnd::PtyFarEnd(const testbed::PtyPair& wire, PtyScript script)
    : wire_(wire), script_(script), notifier_(wire.master_fd(), QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &PtyFarEnd::hear);
    connect(&babble_, &QTimer::timeout, this, [this] { write_after(0, QByteArray(1, '\0')); });
}

void PtyFarEnd::hear() {
    std::array<char, 256> buf{};
    for (ssize_t n = 0; (n = ::read(wire_.master_fd(), buf.data(), buf.size())) > 0;) {
        pending_.insert(pending_.end(), buf.begin(), buf.begin() + n);
    }
    static constexpr std::array<std::uint8_t, 1> kStart{protocol::kCommandStart};
    for (auto scan = protocol::scan_frame(pending_, kStart); scan.frame;
         scan = protocol::scan_frame(pending_, kStart)) {
        pending_.erase(pending_.begin(),
                       pending_.begin() + static_cast<std::ptrdiff_t>(scan.skip + protocol::kFrameSize));
        ++frames;
        answer(*scan.frame);
    }
}

void PtyFarEnd::write_after(int ms, const QByteArray& bytes) {
    QTimer::singleShot(ms, Qt::PreciseTimer, this,
                       [this, bytes] { wire_.write(bytes, bytes.size(), [] { return true; }); });
}

void PtyFarEnd::answer(const protocol::Frame& frame) {
    if (script_.echo) {
        write_after(0, QByteArray(reinterpret_cast<const char*>(frame.data()), 8));
    }
    if (script_.delay_ms < 0) {
        return;
    }
    const auto reply = protocol::make_reply(
        static_cast<std::uint8_t>(frame[protocol::kAddressByte] + script_.other_address),
        frame[protocol::kCodeByte], true);
    const QByteArray bytes(reinterpret_cast<const char*>(reply.data()), 8);
    const int span = 7 * script_.trickle_ms;
    for (int copy = 0; copy < (script_.copy_ms >= 0 ? 2 : 1); ++copy) {
        const int at = script_.delay_ms + copy * (span + script_.copy_ms);
        if (script_.trickle_ms == 0) {
            write_after(at, bytes);
        } else {
            for (int i = 0; i < 8; ++i) {
                write_after(at + i * script_.trickle_ms, bytes.mid(i, 1));
            }
        }
    }
    if (script_.babble_ms > 0) {
        QTimer::singleShot(script_.delay_ms + span, this, [this] { babble_.start(script_.babble_ms); });
    }
}

}  // namespace tarvok::test
