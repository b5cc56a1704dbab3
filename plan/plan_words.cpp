#include "plan/plan_words.h"

#include "plan/csv_table.h"
#include "plan/row_check.h"

namespace tarvok::plan {

namespace {

using W = PlanWord;

constexpr std::size_t kQuotedCharacters = 40;

std::string_view word(PlanWord id) {
    return words::pick(plan_catalogue()[static_cast<std::size_t>(id)].text);
}

std::string say(PlanWord id, std::initializer_list<std::string_view> args) {
    return words::fill(word(id), args);
}

std::string number(std::size_t n) { return std::to_string(n); }

std::string mixed_words(PlanEncoding before) {
    return say(W::mixed_encoding, {encoding_name(before)});
}

// "“值”列（也可写作 value、参数、arguments）"; in English the ASCII words alone,
// "column “value” (also arguments)".
std::string column_words(Column column) {
    const bool english = words::language() == words::Language::english;
    std::string first;
    std::string others;
    for (const ColumnWord& entry : kColumnWords) {
        if (entry.column != column || (english && !is_ascii(entry.word))) {
            continue;
        }
        if (first.empty()) {
            first = say(W::column, {echo(entry.word)});
        } else if (others.empty()) {
            others = say(W::column_also, {entry.word});
        } else {
            others += protocol::word(protocol::ProtocolWord::list_separator);
            others += entry.word;
        }
    }
    // Chinese has always closed the list, even an empty one.
    return english && others.empty() ? first : first + others + std::string(word(W::column_close));
}

// The sentence of a fault, without its line.
std::string sentence(const PlanError& e) {
    const std::string n = number(e.number);
    switch (e.fault) {
    case PlanFault::quote_stray:
        return say(W::quote_stray, {n});
    case PlanFault::quote_open:
        return std::string(word(W::quote_open));
    case PlanFault::cell_outside_header:
        return say(W::cell_outside_header, {n});
    case PlanFault::header_expected:
        return say(W::header_expected, {word(W::header_example)});
    case PlanFault::header_missing:
        return say(W::header_missing, {column_words(e.column.value_or(Column::value))});
    case PlanFault::header_twice:
        return say(W::header_twice, {echo(e.word)});
    case PlanFault::row_incomplete:
        return std::string(word(W::row_incomplete));
    case PlanFault::address_bad:
        return say(W::address_bad, {echo(e.word), std::to_string(kLastAddress)});
    case PlanFault::setting_unknown:
        return say(W::setting_unknown, {echo(e.word), choices(kKinds)});
    case PlanFault::setting:
        return setting_fault_words(e.setting);
    case PlanFault::channel_range:
        return say(W::channel_range, {echo(e.word)});
    case PlanFault::channel_not_taken:
        return say(W::channel_not_taken, {echo(e.word)});
    case PlanFault::module_line_bad:
        return say(W::module_line_bad, {echo(e.word), protocol::baud_list_text()});
    case PlanFault::remark_long:
        return say(W::remark_long, {n});
    case PlanFault::no_settings:
        return say(W::no_settings, {word(W::header_example)});
    case PlanFault::nul_byte:
        return say(W::nul_byte, {word(W::save_as_utf8)});
    case PlanFault::not_text:
        return say(W::not_text, {word(W::save_as_utf8)});
    case PlanFault::mixed_encoding:
        return mixed_words(e.encoding);
    case PlanFault::mixed_encoding_stream:
        return mixed_words(e.encoding) + std::string(word(W::stream_encoding));
    case PlanFault::line_too_long:
        return say(W::line_too_long, {n});
    case PlanFault::cr_line_ends:
        return std::string(word(W::cr_line_ends));
    case PlanFault::too_many_lines:
        return say(W::too_many_lines, {n, word(W::split_hint)});
    case PlanFault::too_many_bytes:
        return say(W::too_many_bytes, {number(e.number >> 20U), word(W::split_hint)});
    case PlanFault::too_many_steps:
        break;
    }
    return say(W::too_many_steps, {n, word(W::split_hint)});
}

PlanWord arguments_of(Kind kind) {
    switch (kind) {
    case Kind::mode:
        return W::mode_arguments;
    case Kind::power_on:
        return W::power_on_arguments;
    case Kind::line:
        break;
    }
    return W::line_arguments;
}

}  // namespace

std::string error_words(const PlanError& error) {
    const std::string line =
        error.line > 0 ? say(W::line_prefix, {std::to_string(error.line)}) : "";
    return line + sentence(error);
}

std::string setting_fault_words(const SettingFault& f) {
    const std::string word_at_fault = echo(f.word);
    switch (f.problem) {
    case SettingProblem::argument_count:
        return std::string(word(arguments_of(f.kind)));
    case SettingProblem::channel:
        return say(W::bad_channel, {word_at_fault});
    case SettingProblem::mode:
        return say(W::not_mode, {word_at_fault, choices(protocol::kModes)});
    case SettingProblem::power_on:
        return say(W::not_power_on, {word_at_fault, choices(protocol::kPowerOnStates)});
    case SettingProblem::baud:
        return say(W::bad_baud, {word_at_fault, protocol::baud_list_text()});
    case SettingProblem::baud_unsupported:
        return say(W::baud_unsupported, {word_at_fault, protocol::baud_list_text()});
    case SettingProblem::parity:
        break;
    }
    return say(W::not_parity, {word_at_fault, choices(protocol::kParities)});
}

std::string file_fault_words(FileFault fault, std::string_view path) {
    const std::string name = echo(path);
    switch (fault) {
    case FileFault::missing:
        return say(W::file_missing, {name});
    case FileFault::folder:
        return say(W::file_folder, {name});
    case FileFault::unreadable:
        return say(W::file_unreadable, {name});
    case FileFault::read_error:
        break;
    }
    return say(W::file_read_error, {name});
}

std::string title_words(int line) { return say(W::title, {std::to_string(line)}); }

std::string_view encoding_name(PlanEncoding encoding) {
    switch (encoding) {
    case PlanEncoding::ascii:
        return word(W::encoding_ascii);
    case PlanEncoding::utf8:
        return word(W::encoding_utf8);
    case PlanEncoding::utf8_bom:
        return word(W::encoding_utf8_bom);
    case PlanEncoding::gb18030:
        break;
    }
    return word(W::encoding_gb18030);
}

std::string echo(std::string_view text) {
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

}  // namespace tarvok::plan
