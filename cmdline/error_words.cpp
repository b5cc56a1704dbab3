// The Chinese wording of every command-line error; a later English catalogue takes
// the same facts.
#include "cmdline/error.h"

#include "protocol/request.h"
#include "protocol/tables.h"

namespace tarvok::cmdline {

namespace {

constexpr std::size_t kQuotedCharacters = 40;

std::string_view unit_text(Unit unit) {
    switch (unit) {
    case Unit::none:
        break;
    case Unit::port:
        return "（串口号）";
    case Unit::milliseconds:
        return "（毫秒）";
    case Unit::percent:
        return "（百分比）";
    }
    return {};
}

std::string parity_words() {
    std::string text;
    for (const auto& entry : protocol::kParities) {
        text +=
            (text.empty() ? "" : "、") + std::string(entry.name) + "/" + std::string(entry.alias);
    }
    return text;
}

std::string allowed_text(const Allowed& allowed) {
    const std::string keyword =
        allowed.keyword.empty() ? std::string() : "，或 " + std::string(allowed.keyword);
    switch (allowed.expect) {
    case Expect::number:
        return "应为 " + std::to_string(allowed.low) + " 到 " + std::to_string(allowed.high) +
               " 的整数" + std::string(unit_text(allowed.unit)) + keyword;
    case Expect::rate:
    case Expect::group_rate:
        return "可用：" + protocol::baud_list_text() + keyword;
    case Expect::parity:
    case Expect::group_parity:
        return "可用：" + parity_words() + keyword;
    case Expect::address_list:
        return "应为 0 到 255 的地址或地址列表，如 1-8,12";
    case Expect::module_group:
        break;
    }
    return "应为地址列表，可带波特率和校验位，如 1-3、7@19200 或 7@19200/even";
}

std::string_view part_name(Expect expect) {
    return expect == Expect::group_parity ? "校验位" : "波特率";
}

}  // namespace

std::string error_text(const Error& e) {
    switch (e.fault) {
    case Fault::unknown_option:
        return "没有选项" + quoted(e.option);
    case Fault::missing_value:
        return "选项 " + e.option + " 缺少取值";
    case Fault::value_not_taken:
        return "选项 " + e.option + " 不带取值";
    case Fault::bad_value:
        return e.option + " 的取值" + quoted(e.value) + "无效，" + allowed_text(e.allowed);
    case Fault::bad_part:
        return e.option + " 的取值" + quoted(e.value) + "中的" +
               std::string(part_name(e.allowed.expect)) + "无效，" + allowed_text(e.allowed);
    case Fault::given_twice:
        return "选项 " + e.option + " 给了两个不同的取值" + quoted(e.value) + "和" +
               quoted(e.other) + "，只能给一个";
    case Fault::contradiction:
        return "选项 " + e.option + " 与 " + e.other + " 不能同时使用，只能用其中一个";
    case Fault::extra_argument:
        return "不接受参数" + quoted(e.value);
    case Fault::shared_address:
        break;
    }
    return "地址 " + e.value + " 同时出现在" + quoted(e.option) + "与" + quoted(e.other) +
           "中：每个地址只能属于一组";
}

std::string usage_line(std::string_view program, std::string_view sentence) {
    return std::string(program) + "：" + std::string(sentence) + "。用 " + std::string(program) +
           " --help 查看用法。";
}

std::string quoted(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            ++characters > kQuotedCharacters) {
            return "“" + std::string(text.substr(0, i)) + "…”";
        }
    }
    return "“" + std::string(text) + "”";
}

}  // namespace tarvok::cmdline
