#include "tests/support/far_end.h"

#include <algorithm>
#include <utility>

#include "protocol/reply.h"

namespace tarvok::test {

namespace {

Micros ms(int n) { return std::chrono::milliseconds(n); }

}  // namespace

FarEnd::FarEnd(Script script, std::uint8_t address)
    : script_(script), address_(address), host_(script.line), module_line_(script.line) {}

bool FarEnd::write(std::span<const std::uint8_t> bytes) {
    for (const auto& [first, last] : replying_) {
        over_reply_ += clock_ >= first && clock_ <= last ? 1 : 0;
    }
    if (bytes.size() != protocol::kFrameSize) {
        return true;
    }
    const protocol::Frame frame = protocol::frame_from(bytes);
    if (script_.echo != 0) {
        std::vector<std::uint8_t> echo(frame.begin(), frame.end());
        echo[4] ^= script_.echo == 2 ? 0x10 : 0;
        write_at(clock_, echo);
    }
    heard_.push_back({clock_, frame, host_, false});
    // A UART at another rate or parity hears noise, never a frame.
    if (host_ == module_line_ && frame[protocol::kAddressByte] == address_) {
        answer(frame);
    }
    return true;
}

void FarEnd::answer(const protocol::Frame& frame) {
    const int delay =
        each_delay_ms_.empty()
            ? (answers_ < script_.answered ? script_.delay_ms : -1)
            : each_delay_ms_[static_cast<std::size_t>(heard_frames_++) % each_delay_ms_.size()];
    const Micros start = std::max(clock_ + ms(std::max(delay, 0)),
                                  replying_.empty() ? Micros{0} : replying_.back().second + ms(1));
    if (delay < 0 || start > clock_ + ms(latest_ms_)) {
        return;
    }
    ++answers_;
    heard_.back().answered = true;
    const bool refuse = frame[protocol::kCodeByte] == 0x44 && frame[6] == script_.refuse_channel;
    const auto reply = protocol::make_reply(
        static_cast<std::uint8_t>(frame[protocol::kAddressByte] + script_.other_address),
        frame[protocol::kCodeByte], !refuse);
    const std::vector<std::uint8_t> bytes(reply.begin(), reply.end());
    // One module speaks one reply at a time: the next begins after the last one's end.
    Micros at = start;
    for (int copy = 0; copy < (script_.copy_ms >= 0 ? 2 : 1); ++copy) {
        const Micros first = at;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool piecewise = script_.trickle_ms > 0;
            write_at(at, piecewise ? std::vector{bytes[i]} : bytes);
            if (!piecewise) {
                break;
            }
            at += i + 1 < bytes.size() ? ms(script_.trickle_ms) : Micros{0};
        }
        replying_.emplace_back(first, at);
        at += ms(std::max(script_.copy_ms, 0));
    }
    for (int t = script_.babble_every_ms; script_.babble_every_ms > 0 && t <= script_.babble_for_ms;
         t += script_.babble_every_ms) {
        write_at(replying_.back().second + ms(t), {0x00});
    }
    if (!refuse && frame[protocol::kCodeByte] == 0x4B) {
        const protocol::Decoded decoded = protocol::decode(frame);
        if (const auto* request = std::get_if<protocol::Request>(&decoded)) {
            if (const auto* line = std::get_if<protocol::LineSetting>(request)) {
                module_line_ = *line;  // after its reply, as a module does
            }
        }
    }
}

void FarEnd::write_at(Micros at, const std::vector<std::uint8_t>& bytes) {
    arriving_.emplace(at, bytes);
}

void FarEnd::inject(Micros at, std::vector<std::uint8_t> bytes) {
    noise_.emplace(at, std::move(bytes));
}

std::vector<std::uint8_t> FarEnd::take_input() { return std::exchange(inbox_, {}); }

bool FarEnd::set_setting(const protocol::LineSetting& setting) {
    host_ = setting;
    return true;
}

bool FarEnd::answered(const protocol::Frame& frame, const protocol::LineSetting& line) const {
    return std::any_of(heard_.begin(), heard_.end(), [&](const Heard& h) {
        return h.answered && h.frame == frame && h.line == line;
    });
}

bool FarEnd::run(const std::function<bool()>& done, Micros limit) {
    const auto deliver = [this](const std::vector<std::uint8_t>& bytes) {
        inbox_.insert(inbox_.end(), bytes.begin(), bytes.end());
        if (listener_ != nullptr) {
            listener_->input_arrived();
        }
    };
    while (!done()) {
        // The earliest of bytes, noise and the alarm; bytes before noise before the alarm.
        std::optional<Micros> next = alarm_;
        int which = 2;
        if (!noise_.empty() && (!next || noise_.begin()->first <= *next)) {
            next = noise_.begin()->first;
            which = 1;
        }
        if (!arriving_.empty() && (!next || arriving_.begin()->first <= *next)) {
            next = arriving_.begin()->first;
            which = 0;
        }
        if (!next || *next > limit) {
            return false;
        }
        clock_ = std::max(clock_, *next);
        if (which == 0) {
            const auto bytes = arriving_.begin()->second;
            arriving_.erase(arriving_.begin());
            deliver(bytes);
        } else if (which == 1) {
            const auto bytes = noise_.begin()->second;
            noise_.erase(noise_.begin());
            const bool inside = std::any_of(replying_.begin(), replying_.end(), [this](const auto& span) {
                return clock_ >= span.first && clock_ <= span.second;
            });
            if (!inside) {
                deliver(bytes);
            }
        } else {
            alarm_.reset();
            if (listener_ != nullptr) {
                listener_->alarm();
            }
        }
    }
    return true;
}

}  // namespace tarvok::test
