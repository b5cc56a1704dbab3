// Which language a program speaks, and the one way its Qt-free parts pick their words.
//
// The rule: Chinese, the design's own words, under a zh_* locale and under C or POSIX;
// English under every other language. The locale is the first of LC_ALL, LC_MESSAGES
// and LANG that is set; under C or POSIX that is all (as gettext has it), otherwise
// LANGUAGE, a list such as "en:zh_CN", decides by its first entry when it is set, and
// the locale when it is not.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvok::words {

enum class Language { chinese, english };

// The rule above, from the variables' values (empty: not set).
Language language_of(std::string_view language, std::string_view lc_all,
                     std::string_view lc_messages, std::string_view lang);
// From this process's environment.
Language language_from_environment();

// This process's language: chosen once, from the environment at the first question,
// unless a program said otherwise first.
Language language();
void use_language(Language language);

// A sentence in both languages, as every catalogue holds it.
struct Text {
    std::string_view zh;
    std::string_view en;
};

// The text in the process's language, or in the one given: words that must not change
// with the language (a JSON field, a plan file's words) ask for theirs.
std::string_view pick(const Text& text);
std::string_view pick(const Text& text, Language language);

// The pattern with each "{}" replaced by the next argument, in order.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace tarvok::words
