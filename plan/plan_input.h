// A plan file's bytes, taken as they arrive: split into lines, decoded and checked one
// line at a time, within fixed limits, so any input (an endless pipe, /dev/zero,
// /dev/urandom) costs bounded memory and its first bad line is known at once.
//
// Encodings, decided from the bytes: UTF-8 with or without a byte-order mark; when
// the first line beyond ASCII is not UTF-8, GB18030 (GBK), as Excel and WPS save CSV
// on a Chinese Windows. Every later line must then be in the same encoding. LF and
// CR LF line ends. Plain C++ (glibc iconv), so the fuzzer takes it without Qt.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "plan/plan.h"
#include "plan/text_encoding.h"

namespace tarvok::plan {

// A plan of every setting a full bus of 256 modules can take is under 20,000 lines
// of about 30 bytes; these leave room for comments and spreadsheet padding.
struct PlanLimits {
    std::size_t bytes;
    int lines;
    std::size_t line_bytes;  // line end included
};
inline constexpr PlanLimits kPlanLimits{8U << 20U, 100'000, 4096};

enum class PlanEncoding { ascii, utf8, utf8_bom, gb18030 };

// "UTF-8（带 BOM）", for messages.
std::string_view encoding_name(PlanEncoding encoding);

class PlanReader {
public:
    explicit PlanReader(PlanLimits limits = kPlanLimits) : limits_(limits) {}

    // The next piece of input; false once a limit has stopped the reading.
    bool feed(std::string_view chunk);
    // The end of the input.
    void finish();

    const Plan& plan() const { return check_.plan(); }
    // ASCII until a line beyond ASCII decides it.
    PlanEncoding encoding() const { return encoding_; }

private:
    void take_line(std::string_view raw);
    std::optional<std::string> decoded(std::string_view raw);
    void stop(int line, const std::string& message);

    PlanLimits limits_;
    PlanCheck check_;
    Gb18030Decoder gb18030_;
    std::string partial_;  // the line being read, never longer than limits_.line_bytes
    std::size_t bytes_ = 0;
    int line_ = 0;  // lines taken so far
    PlanEncoding encoding_ = PlanEncoding::ascii;
    bool stopped_ = false;
};

// A whole plan held in memory (the fuzzer's way in).
Plan parse_plan(std::string_view text);

}  // namespace tarvok::plan
