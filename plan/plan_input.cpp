#include "plan/plan_input.h"

#include <algorithm>

namespace tarvok::plan {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// What a line may hold beyond its text: a byte-order mark and the CR of a CR LF.
constexpr std::size_t kLineSlack = kByteOrderMark.size() + 1;

bool all_gb18030(std::string_view text) {
    Gb18030Decoder decoder;
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        if (!is_ascii(line) && !decoder.to_utf8(line)) {
            return false;
        }
        text.remove_prefix(std::min(text.size(), line.size() + 1));
    }
    return true;
}

bool text_like(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\r';
    });
}

// Whether the input's first line is text with CRs in it: lines that end in CR alone,
// as old Mac programs wrote them, make one line of a whole file. Binary bytes hold
// CRs too, among other control characters.
bool cr_lines(int line, std::string_view head, std::string_view rest = {}) {
    const auto npos = std::string_view::npos;
    return line == 1 && (head.find('\r') != npos || rest.find('\r') != npos) && text_like(head) &&
           text_like(rest);
}

}  // namespace

std::optional<PlanEncoding> whole_encoding(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        return valid_utf8(text) ? std::optional(PlanEncoding::utf8_bom) : std::nullopt;
    }
    if (is_ascii(text)) {
        return PlanEncoding::ascii;
    }
    if (valid_utf8(text)) {
        return PlanEncoding::utf8;
    }
    // A GB18030 character never holds a byte below 0x30, so lines split alike in both.
    return all_gb18030(text) ? std::optional(PlanEncoding::gb18030) : std::nullopt;
}

void PlanReader::judged(std::optional<PlanEncoding> whole) {
    judged_ = true;
    if (whole && whole != PlanEncoding::utf8_bom) {
        encoding_ = *whole;  // a byte-order mark is found on the first line
    }
}

bool PlanReader::feed(std::string_view chunk) {
    if (stopped_) {
        return false;
    }
    const bool over = chunk.size() > limits_.bytes - bytes_;
    chunk = chunk.substr(0, limits_.bytes - bytes_);
    bytes_ += chunk.size();
    while (!chunk.empty() && !stopped_) {
        const auto end = chunk.find('\n');
        const std::string_view piece = chunk.substr(0, end);
        if (partial_.size() + piece.size() > limits_.line_bytes + kLineSlack) {
            too_long(piece);
            break;
        }
        if (end == std::string_view::npos) {
            partial_ += piece;
            break;
        }
        if (partial_.empty()) {
            take_line(piece);
        } else {
            partial_ += piece;
            take_line(partial_);
            partial_.clear();
        }
        chunk.remove_prefix(end + 1);
    }
    if (over && !stopped_) {
        stop(0, PlanFault::too_many_bytes, limits_.bytes);
    }
    return !stopped_;
}

void PlanReader::finish() {
    if (!stopped_ && !partial_.empty()) {
        take_line(partial_);
        partial_.clear();
    }
    check_.finish();
}

void PlanReader::stop(int line, PlanFault fault, std::size_t limit) {
    stopped_ = true;
    partial_ = {};
    check_.stop(fault_at(line, fault, std::nullopt, {}, limit));
}

// A line past the limit; `held` is its latest piece.
void PlanReader::too_long(std::string_view held) {
    const bool cr = cr_lines(line_ + 1, partial_, held.substr(0, limits_.line_bytes));
    stop(line_ + 1, cr ? PlanFault::cr_line_ends : PlanFault::line_too_long, limits_.line_bytes);
}

void PlanReader::take_line(std::string_view raw) {
    if (++line_ > limits_.lines) {
        stop(line_, PlanFault::too_many_lines, static_cast<std::size_t>(limits_.lines));
        return;
    }
    if (line_ == 1 && raw.starts_with(kByteOrderMark)) {
        raw.remove_prefix(kByteOrderMark.size());
        encoding_ = PlanEncoding::utf8_bom;
    }
    if (raw.ends_with('\r')) {
        raw.remove_suffix(1);
    }
    if (cr_lines(line_, raw)) {
        stop(line_, PlanFault::cr_line_ends);
        return;
    }
    if (raw.size() > limits_.line_bytes) {
        stop(line_, PlanFault::line_too_long, limits_.line_bytes);
        return;
    }
    if (const auto text = decoded(raw)) {
        check_.take(line_, *text);
        stopped_ = check_.plan().stopped.has_value();
    }
}

// The line in UTF-8; nothing, with the fault noted, when it is in no encoding the
// lines before it allow.
std::optional<std::string> PlanReader::decoded(std::string_view raw) {
    if (raw.find('\0') != std::string_view::npos) {
        check_.fail(fault_at(line_, PlanFault::nul_byte));
        return std::nullopt;
    }
    if (is_ascii(raw)) {
        return std::string(raw);
    }
    switch (encoding_) {
    case PlanEncoding::ascii:
        if (valid_utf8(raw)) {
            encoding_ = PlanEncoding::utf8;
            return std::string(raw);
        }
        if (auto text = gb18030_.to_utf8(raw)) {
            encoding_ = PlanEncoding::gb18030;
            return text;
        }
        check_.fail(fault_at(line_, PlanFault::not_text));
        return std::nullopt;
    case PlanEncoding::utf8:
    case PlanEncoding::utf8_bom:
        if (valid_utf8(raw)) {
            return std::string(raw);
        }
        break;
    case PlanEncoding::gb18030:
        if (auto text = gb18030_.to_utf8(raw)) {
            return text;
        }
        break;
    }
    PlanError error =
        fault_at(line_, judged_ ? PlanFault::mixed_encoding : PlanFault::mixed_encoding_stream);
    error.encoding = encoding_;
    check_.fail(std::move(error));
    return std::nullopt;
}

Plan parse_plan(std::string_view text) {
    PlanReader reader;
    reader.judged(whole_encoding(text.substr(0, kPlanLimits.bytes)));
    reader.feed(text);
    reader.finish();
    return reader.plan();
}

}  // namespace tarvok::plan
