#include "words/language.h"

namespace tarvok::words {

// An unset LANG means C here.
std::string system_locale() { return {}; }

}  // namespace tarvok::words
