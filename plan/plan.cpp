#include "plan/plan.h"

#include <algorithm>
#include <array>
#include <span>
#include <variant>

#include "plan/setting_words.h"
#include "protocol/number_text.h"

namespace tarvok::plan {

namespace {

constexpr std::array<std::string_view, 3> kHeader = {"address", "setting", "arguments"};
constexpr std::string_view kHeaderText = "address,setting,arguments";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

using Fields = std::vector<std::string>;

bool blank_only(std::string_view text) { return std::all_of(text.begin(), text.end(), is_blank); }

// A quoted field's text from just after its opening quote, where "" stands for one
// quote; the position of the closing quote, or npos when the line ends first.
std::size_t read_quoted(std::string_view text, std::size_t i, std::string& field) {
    for (; i < text.size(); ++i) {
        if (text[i] != '"') {
            field += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
        } else {
            return i;
        }
    }
    return std::string_view::npos;
}

// The line's fields, each trimmed, empty trailing ones dropped; or what is wrong.
// '#' outside quotes ends the line.
std::variant<Fields, std::string> fields_of(std::string_view text) {
    Fields fields{std::string()};
    bool closed = false;  // past the field's closing quote: only blanks before the comma
    for (std::size_t i = 0; i < text.size() && text[i] != '#'; ++i) {
        const char c = text[i];
        if (c == ',') {
            fields.emplace_back();
            closed = false;
        } else if (closed && !is_blank(c)) {
            return "第 " + std::to_string(fields.size()) +
                   " 个字段的右引号之后还有字符，引号外只能有逗号";
        } else if (c == '"' && !closed && blank_only(fields.back())) {
            fields.back().clear();
            i = read_quoted(text, i + 1, fields.back());
            if (i == std::string_view::npos) {
                return std::string("引号没有在本行配对；字段里的引号要写成两个（\"\"）");
            }
            closed = true;
        } else if (!closed) {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) {
        field = trimmed(field);
    }
    while (!fields.empty() && fields.back().empty()) {
        fields.pop_back();
    }
    return fields;
}

// The arguments after the setting's name: every field, split again at blanks.
std::vector<std::string_view> words_of(std::span<const std::string> fields) {
    std::vector<std::string_view> words;
    for (std::string_view field : fields) {
        while (!field.empty()) {
            const auto* const blank = std::find_if(field.begin(), field.end(), is_blank);
            const auto length = static_cast<std::size_t>(blank - field.begin());
            words.push_back(field.substr(0, length));
            field.remove_prefix(length);
            while (!field.empty() && is_blank(field.front())) {
                field.remove_prefix(1);
            }
        }
    }
    return words;
}

std::string at_line(int line) { return "第 " + std::to_string(line) + " 行："; }

std::variant<PlanStep, std::string> step_from(const Fields& fields, int line) {
    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) {
        return std::string("应为 地址,设置,参数，例如 5,mode,3,自锁");
    }
    const auto address = protocol::whole_number(fields[0], 0, std::uint32_t{kLastAddress});
    if (!address) {
        return "地址" + echo(fields[0]) + "无效，应为 0 到 " + std::to_string(kLastAddress) +
               " 的整数";
    }
    const auto* kind = find_kind(fields[1]);
    if (!kind) {
        return echo(fields[1]) + "不是设置名，可用：" + choices(kKinds);
    }
    const auto args = words_of(std::span(fields).subspan(2));
    auto setting = setting_from(kind->value, args);
    if (auto* message = std::get_if<std::string>(&setting)) {
        return std::move(*message);
    }
    return PlanStep{line, static_cast<std::uint8_t>(*address),
                    std::get<protocol::Request>(setting)};
}

bool is_header(const Fields& fields) {
    return fields.size() == kHeader.size() &&
           std::equal(fields.begin(), fields.end(), kHeader.begin(), same_word);
}

}  // namespace

void PlanCheck::fail(int line, std::string message) {
    plan_.steps = {};  // a faulty plan never runs; its settings need no room
    if (plan_.errors.size() < static_cast<std::size_t>(kShownErrors)) {
        plan_.errors.push_back({line, at_line(line) + message});
    } else {
        ++plan_.more_errors;
    }
}

void PlanCheck::stop(PlanError reason) {
    plan_.steps = {};
    plan_.stopped = std::move(reason);
}

void PlanCheck::take(int line, std::string_view text) {
    auto fields = fields_of(text);
    if (auto* message = std::get_if<std::string>(&fields)) {
        fail(line, std::move(*message));
        return;
    }
    const auto& content = std::get<Fields>(fields);
    if (content.empty()) {
        return;
    }
    if (!header_seen_) {
        // Later lines are still checked as settings: a forgotten header hides no fault.
        header_seen_ = true;
        if (!is_header(content)) {
            fail(line, "应为表头 " + std::string(kHeaderText) + "（第一个不是注释或空行的行）");
        }
        return;
    }
    auto step = step_from(content, line);
    if (auto* message = std::get_if<std::string>(&step)) {
        fail(line, std::move(*message));
        return;
    }
    if (plan_.errors.empty()) {
        plan_.steps.push_back(std::get<PlanStep>(step));
    }
}

void PlanCheck::finish() {
    if (plan_.ok() && plan_.steps.empty()) {
        plan_.errors.push_back({0, "没有任何设置：表头 " + std::string(kHeaderText) +
                                       " 之后每行写一项，例如 5,mode,3,自锁"});
    }
}

}  // namespace tarvok::plan
