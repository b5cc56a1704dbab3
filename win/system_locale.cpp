// Windows sets no LANG: the user's display language stands in for it, so a Chinese
// Windows hears Chinese and every other one English, unless the variables say otherwise.
#include <windows.h>

#include "words/language.h"

namespace tarvok::words {

std::string system_locale() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? "zh" : "en";
}

}  // namespace tarvok::words
