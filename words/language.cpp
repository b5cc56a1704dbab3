#include "words/language.h"

#include <cstdlib>
#include <optional>

namespace tarvok::words {

namespace {

std::string_view env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// "C", "POSIX", "C.UTF-8": the programs' own words, which are Chinese.
bool plain_c(std::string_view locale) {
    return locale.empty() || locale == "POSIX" || locale == "C" || locale.starts_with("C.") ||
           locale.starts_with("C@");
}

Language of_name(std::string_view name) {
    return name.starts_with("zh") ? Language::chinese : Language::english;
}

// The process's choice; the program sets it once, before any words are made.
std::optional<Language> g_language;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace

Language language_of(std::string_view language, std::string_view lc_all,
                     std::string_view lc_messages, std::string_view lang) {
    const std::string_view locale =
        !lc_all.empty() ? lc_all : !lc_messages.empty() ? lc_messages : lang;
    if (plain_c(locale)) {
        return Language::chinese;
    }
    const std::string_view first = language.substr(0, language.find(':'));
    return of_name(first.empty() ? locale : first);
}

Language language_from_environment() {
    return language_of(env("LANGUAGE"), env("LC_ALL"), env("LC_MESSAGES"), env("LANG"));
}

Language language() {
    if (!g_language) {
        g_language = language_from_environment();
    }
    return *g_language;
}

void use_language(Language language) { g_language = language; }

std::string_view pick(const Text& text) { return pick(text, language()); }

std::string_view pick(const Text& text, Language language) {
    return language == Language::english ? text.en : text.zh;
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.substr(at, 2) == "{}" && next != args.end()) {
            out += *next++;
            ++at;
        } else {
            out += pattern[at];
        }
    }
    return out;
}

}  // namespace tarvok::words
