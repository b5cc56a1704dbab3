// A plan file's bytes, taken as they arrive: split into lines, decoded and checked one
// line at a time, within fixed limits, so any input (an endless pipe, /dev/zero,
// /dev/urandom) costs bounded memory and its first bad line is known at once.
//
// Encodings: UTF-8 with or without a byte-order mark, or GB18030 (GBK), as Excel and
// WPS save CSV on a Chinese Windows. Input that can be seen whole first (a file) is
// judged as a whole: UTF-8 when all of it is, else GB18030 when all of it is. A stream
// is judged by its first line beyond ASCII, and every later line must be in the same
// encoding. LF and CR LF line ends; CR alone (old Mac files) is refused by name. Plain
// C++ (glibc iconv), so the fuzzer takes it without Qt.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "plan/plan.h"
#include "plan/text_encoding.h"

namespace tarvok::plan {

// A plan of every setting a full bus of 256 modules can take is under 20,000 steps
// of about 30 bytes; these leave room for comments and spreadsheet padding.
struct PlanLimits {
    std::size_t bytes;
    int lines;
    std::size_t line_bytes;  // a line's text, its line end not counted
    std::size_t steps;       // settings, a channel range counting each channel
};
inline constexpr PlanLimits kPlanLimits{8U << 20U, 100'000, 4096, 100'000};

// The encoding of a whole plan: UTF-8 when every byte of it is (with a byte-order mark
// when it starts with one), GB18030 when every line of it is; nothing when neither
// fits every line.
std::optional<PlanEncoding> whole_encoding(std::string_view text);

class PlanReader {
public:
    explicit PlanReader(PlanLimits limits = kPlanLimits) : limits_(limits), check_(limits.steps) {}

    // Before the first piece: the whole input was judged, to `whole` when one encoding
    // fits it all. Without this the input is a stream.
    void judged(std::optional<PlanEncoding> whole);
    // The next piece of input; false once a limit has stopped the reading.
    bool feed(std::string_view chunk);
    // The end of the input.
    void finish();
    // Every row of settings as its cells, from now on.
    void watch_rows(RowWatcher watcher) { check_.watch_rows(std::move(watcher)); }

    const Plan& plan() const { return check_.plan(); }
    PlanEncoding encoding() const { return encoding_; }

private:
    void take_line(std::string_view raw);
    void too_long(std::string_view held);
    std::optional<std::string> decoded(std::string_view raw);
    void stop(int line, PlanFault fault, std::size_t limit = 0);

    PlanLimits limits_;
    PlanCheck check_;
    Gb18030Decoder gb18030_;
    std::string partial_;  // the line being read, at most 4 bytes past limits_.line_bytes
    std::size_t bytes_ = 0;
    int line_ = 0;  // lines taken so far
    PlanEncoding encoding_ = PlanEncoding::ascii;
    bool judged_ = false;
    bool stopped_ = false;
};

// A whole plan held in memory, judged whole (the fuzzer's and the tests' way in).
Plan parse_plan(std::string_view text);

}  // namespace tarvok::plan
