#include "cmdline/parse.h"

#include <algorithm>

#include "protocol/number_text.h"

namespace tarvok::cmdline {

namespace {

// The option an argument names; "--port=5", "-port" and "-h" alike.
const Option* find_option(std::span<const Option> table, std::string_view name) {
    const auto it = std::ranges::find_if(table, [name](const Option& o) {
        return name == o.name || (!o.letter.empty() && name == o.letter);
    });
    return it == table.end() ? nullptr : &*it;
}

bool is_option(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

}  // namespace

std::variant<Arguments, Error> parse(std::span<const Option> table,
                                     std::span<const std::string> args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--") {
            parsed.positional.insert(parsed.positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (!is_option(arg)) {
            parsed.positional.emplace_back(arg);
            continue;
        }
        const auto eq = arg.find('=');
        const std::string_view typed = arg.substr(0, eq);
        const std::string_view name = typed.substr(typed.starts_with("--") ? 2 : 1);
        const Option* option = find_option(table, name);
        if (option == nullptr) {
            return Error{Fault::unknown_option, std::string(typed), {}, {}, {}};
        }
        Given given{static_cast<std::size_t>(option - table.data()), {}};
        if (!option->takes_value) {
            if (eq != std::string_view::npos) {
                return Error{Fault::value_not_taken, dashed(*option), {}, {}, {}};
            }
        } else if (eq != std::string_view::npos) {
            given.value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            given.value = args[++i];
        } else {
            return Error{Fault::missing_value, dashed(*option), {}, {}, {}};
        }
        parsed.options.push_back(std::move(given));
    }
    return parsed;
}

bool asks(const Arguments& arguments, std::size_t option) {
    return std::ranges::any_of(arguments.options,
                               [option](const Given& given) { return given.option == option; });
}

std::string dashed(const Option& option) { return "--" + std::string(option.name); }

bool same_word(std::string_view text, std::string_view word) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

std::optional<std::uint32_t> rate(std::string_view text) {
    const auto baud = protocol::whole_number(text, 1, protocol::kBaudCodes.back().baud);
    if (baud && protocol::code_for_baud(*baud)) {
        return baud;
    }
    return std::nullopt;
}

std::variant<std::uint32_t, Error> number(std::string_view option, std::string_view text,
                                          const Allowed& allowed) {
    if (const auto n = protocol::whole_number(text, allowed.low, allowed.high)) {
        return *n;
    }
    return Error{Fault::bad_value, std::string(option), std::string(text), {}, allowed};
}

std::optional<Error> set_number(Once<std::uint32_t>& once, std::string_view option,
                                std::string_view text, const Allowed& allowed) {
    auto read = number(option, text, allowed);
    if (auto* error = std::get_if<Error>(&read)) {
        return std::move(*error);
    }
    return once.set(option, text, std::get<std::uint32_t>(read));
}

}  // namespace tarvok::cmdline
