#include "plan/plan_input.h"

namespace tarvok::plan {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSplitHint = "，已停止读取；请把计划分成几个文件";

std::string at_line(int line) { return "第 " + std::to_string(line) + " 行："; }

}  // namespace

std::string_view encoding_name(PlanEncoding encoding) {
    switch (encoding) {
    case PlanEncoding::ascii:
        return "UTF-8（全是 ASCII 字符）";
    case PlanEncoding::utf8:
        return "UTF-8";
    case PlanEncoding::utf8_bom:
        return "UTF-8（带 BOM）";
    case PlanEncoding::gb18030:
        break;
    }
    return "GB18030（GBK）";
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
        const std::size_t ending = end == std::string_view::npos ? 0 : 1;
        if (partial_.size() + piece.size() + ending > limits_.line_bytes) {
            stop(line_ + 1, at_line(line_ + 1) + "超过 " + std::to_string(limits_.line_bytes) +
                                " 字节，已停止读取；计划的一行不会这么长，请检查这是不是 CSV 文件");
            break;
        }
        if (ending == 0) {
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
        stop(0, "超过 " + std::to_string(limits_.bytes >> 20U) + " MiB" + std::string(kSplitHint));
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

void PlanReader::stop(int line, const std::string& message) {
    stopped_ = true;
    partial_ = {};
    check_.stop({line, message});
}

void PlanReader::take_line(std::string_view raw) {
    if (++line_ > limits_.lines) {
        stop(line_, at_line(line_) + "超过 " + std::to_string(limits_.lines) + " 行" +
                        std::string(kSplitHint));
        return;
    }
    if (line_ == 1 && raw.starts_with(kByteOrderMark)) {
        raw.remove_prefix(kByteOrderMark.size());
        encoding_ = PlanEncoding::utf8_bom;
    }
    if (raw.ends_with('\r')) {
        raw.remove_suffix(1);
    }
    if (const auto text = decoded(raw)) {
        check_.take(line_, *text);
    }
}

// The line in UTF-8; nothing, with the fault noted, when it is in no encoding the
// lines before it allow.
std::optional<std::string> PlanReader::decoded(std::string_view raw) {
    if (raw.find('\0') != std::string_view::npos) {
        check_.fail(line_, "含有空字节，不是文本；请另存为 UTF-8 的 CSV 文件");
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
        check_.fail(line_, "既不是 UTF-8 也不是 GB18030 文本，请另存为 UTF-8 的 CSV 文件");
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
    check_.fail(line_, "编码与前面的行不同（前面是 " + std::string(encoding_name(encoding_)) +
                           "），请把整个文件另存为 UTF-8 的 CSV 文件");
    return std::nullopt;
}

Plan parse_plan(std::string_view text) {
    PlanReader reader;
    reader.feed(text);
    reader.finish();
    return reader.plan();
}

}  // namespace tarvok::plan
