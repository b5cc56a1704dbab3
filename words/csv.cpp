#include "words/csv.h"

namespace tarvok::words {

std::string csv_field(std::string_view text) {
    std::string field;
    bool quoted = false;
    for (const char c : text) {
        const bool breaks = c == '\n' || c == '\r' || c == '\0';
        quoted = quoted || c == ',' || c == '"' || c == '#';
        field += breaks ? ' ' : c;
        if (c == '"') {
            field += '"';
        }
    }
    return quoted ? "\"" + field + "\"" : field;
}

}  // namespace tarvok::words
