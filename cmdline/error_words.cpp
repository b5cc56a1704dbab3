// The wording of every command-line error, in Chinese and English; the facts come
// from cmdline/error.h.
#include "cmdline/error_words.h"

#include <array>

#include "cmdline/error.h"
#include "protocol/protocol_words.h"
#include "protocol/request.h"
#include "protocol/tables.h"

namespace tarvok::cmdline {

namespace {

using W = ErrorWord;

constexpr std::size_t kQuotedCharacters = 40;

constexpr std::array<words::Entry<ErrorWord>, 20> kWords = {{
    {W::unit_port, {"（串口号）", " (port number)"}},
    {W::unit_milliseconds, {"（毫秒）", " (milliseconds)"}},
    {W::unit_percent, {"（百分比）", " (percent)"}},
    {W::or_keyword, {"，或 {}", ", or {}"}},
    {W::whole_number, {"应为 {} 到 {} 的整数{}{}", "expected a whole number from {} to {}{}{}"}},
    {W::available, {"可用：{}{}", "allowed: {}{}"}},
    {W::address_list,
     {"应为 0 到 255 的地址或地址列表，如 1-8,12",
      "expected an address from 0 to 255 or a list of them, such as 1-8,12"}},
    {W::module_group,
     {"应为地址列表，可带波特率和校验位，如 1-3、7@19200 或 7@19200/even",
      "expected a list of addresses, with a baud rate and parity if wanted, such as 1-3, "
      "7@19200 or 7@19200/even"}},
    {W::part_baud, {"波特率", "baud rate"}},
    {W::part_parity, {"校验位", "parity"}},
    {W::unknown_option, {"没有选项{}", "unknown option {}"}},
    {W::missing_value, {"选项 {} 缺少取值", "option {} needs a value"}},
    {W::value_not_taken, {"选项 {} 不带取值", "option {} takes no value"}},
    {W::bad_value, {"{} 的取值{}无效，{}", "{} value {} is not valid; {}"}},
    {W::bad_part, {"{} 的取值{}中的{}无效，{}", "{} value {} has an invalid {}; {}"}},
    {W::given_twice,
     {"选项 {} 给了两个不同的取值{}和{}，只能给一个",
      "option {} was given two different values, {} and {}; give only one"}},
    {W::contradiction,
     {"选项 {} 与 {} 不能同时使用，只能用其中一个",
      "options {} and {} exclude each other; use only one of them"}},
    {W::extra_argument, {"不接受参数{}", "unexpected argument {}"}},
    {W::shared_address,
     {"地址 {} 同时出现在{}与{}中：每个地址只能属于一组",
      "address {} is in both {} and {}: each address belongs to one group only"}},
    {W::usage_line, {"{}：{}。用 {} --help 查看用法。", "{}: {}. See {} --help for usage."}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::usage_line,
              "one entry per id, in id order");

std::string_view word(ErrorWord id) { return words::pick(words::text_of(kWords, id)); }

std::string say(ErrorWord id, std::initializer_list<std::string_view> args) {
    return words::fill(word(id), args);
}

std::string_view unit_text(Unit unit) {
    switch (unit) {
    case Unit::none:
        break;
    case Unit::port:
        return word(W::unit_port);
    case Unit::milliseconds:
        return word(W::unit_milliseconds);
    case Unit::percent:
        return word(W::unit_percent);
    }
    return {};
}

std::string allowed_text(const Allowed& allowed) {
    const std::string keyword =
        allowed.keyword.empty() ? std::string() : say(W::or_keyword, {allowed.keyword});
    switch (allowed.expect) {
    case Expect::number:
        return say(W::whole_number, {std::to_string(allowed.low), std::to_string(allowed.high),
                                     unit_text(allowed.unit), keyword});
    case Expect::rate:
    case Expect::group_rate:
        return say(W::available, {protocol::baud_list_text(), keyword});
    case Expect::parity:
    case Expect::group_parity:
        return say(W::available, {protocol::choices(protocol::kParities), keyword});
    case Expect::address_list:
        return std::string(word(W::address_list));
    case Expect::module_group:
        break;
    }
    return std::string(word(W::module_group));
}

std::string_view part_name(Expect expect) {
    return word(expect == Expect::group_parity ? W::part_parity : W::part_baud);
}

}  // namespace

words::Catalogue<ErrorWord> error_catalogue() { return kWords; }

std::string error_text(const Error& e) {
    switch (e.fault) {
    case Fault::unknown_option:
        return say(W::unknown_option, {quoted(e.option)});
    case Fault::missing_value:
        return say(W::missing_value, {e.option});
    case Fault::value_not_taken:
        return say(W::value_not_taken, {e.option});
    case Fault::bad_value:
        return say(W::bad_value, {e.option, quoted(e.value), allowed_text(e.allowed)});
    case Fault::bad_part:
        return say(W::bad_part, {e.option, quoted(e.value), part_name(e.allowed.expect),
                                 allowed_text(e.allowed)});
    case Fault::given_twice:
        return say(W::given_twice, {e.option, quoted(e.value), quoted(e.other)});
    case Fault::contradiction:
        return say(W::contradiction, {e.option, e.other});
    case Fault::extra_argument:
        return say(W::extra_argument, {quoted(e.value)});
    case Fault::shared_address:
        break;
    }
    return say(W::shared_address, {e.value, quoted(e.option), quoted(e.other)});
}

std::string usage_line(std::string_view program, std::string_view sentence) {
    return say(W::usage_line, {program, sentence, program});
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
