#include "cli/plan.h"

#include <algorithm>

#include "cli/setting_words.h"
#include "protocol/number_text.h"

namespace tarvok::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "address,setting,arguments";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Well-formed UTF-8: a file saved in a legacy code page is named as such instead of
// failing later as an unknown value.
bool valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
        // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Comma-separated fields, each trimmed, with empty trailing fields dropped.
std::vector<std::string_view> fields_of(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        fields.push_back(trimmed(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    while (!fields.empty() && fields.back().empty()) {
        fields.pop_back();
    }
    return fields;
}

// The arguments after the setting's name: every field, split again at blanks.
std::vector<std::string_view> words_of(std::span<const std::string_view> fields) {
    std::vector<std::string_view> words;
    for (std::string_view field : fields) {
        while (!field.empty()) {
            const auto* const blank = std::find_if(field.begin(), field.end(), is_blank);
            const auto length = static_cast<std::size_t>(blank - field.begin());
            words.push_back(field.substr(0, length));
            field = trimmed(field.substr(length));
        }
    }
    return words;
}

std::string at_line(int line) { return "第 " + std::to_string(line) + " 行："; }

std::variant<PlanStep, std::string> step_from(const std::vector<std::string_view>& fields,
                                              int line) {
    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) {
        return std::string("应为 地址,设置,参数，例如 5,mode,3,自锁");
    }
    const auto address = protocol::address_byte(fields[0]);
    if (!address) {
        return "地址“" + std::string(fields[0]) + "”无效，应为 0 到 255 的整数";
    }
    const auto* kind = find_kind(fields[1]);
    if (!kind) {
        return "“" + std::string(fields[1]) + "”不是设置名，可用：" + choices(kKinds);
    }
    const auto args = words_of(std::span(fields).subspan(2));
    auto setting = setting_from(kind->value, args);
    if (auto* message = std::get_if<std::string>(&setting)) {
        return std::move(*message);
    }
    return PlanStep{line, *address, std::get<protocol::Request>(setting)};
}

bool is_header(const std::vector<std::string_view>& fields) { return fields == fields_of(kHeader); }

}  // namespace

ParsedPlan parse_plan(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<PlanStep> steps;
    bool header_seen = false;
    int line = 0;
    for (std::size_t start = 0; start <= text.size();) {
        ++line;
        const auto end = std::min(text.find('\n', start), text.size());
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        if (!valid_utf8(raw)) {
            return PlanError{line, at_line(line) + "不是 UTF-8 文本，请把计划文件另存为 UTF-8"};
        }
        const std::string_view content = trimmed(raw.substr(0, raw.find('#')));
        if (content.empty()) {
            continue;
        }
        const auto fields = fields_of(content);
        if (!header_seen) {
            if (!is_header(fields)) {
                return PlanError{line, at_line(line) + "应为表头 " + std::string(kHeader) +
                                           "（计划文件中第一个不是注释的行）"};
            }
            header_seen = true;
            continue;
        }
        auto step = step_from(fields, line);
        if (auto* message = std::get_if<std::string>(&step)) {
            return PlanError{line, at_line(line) + *message};
        }
        steps.push_back(std::get<PlanStep>(step));
    }
    if (steps.empty()) {
        return PlanError{0, "计划文件中没有任何设置：表头 " + std::string(kHeader) +
                                " 之后每行写一项，例如 5,mode,3,自锁"};
    }
    return steps;
}

}  // namespace tarvok::cli
