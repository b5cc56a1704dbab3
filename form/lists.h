// The entries of the window's drop-down lists, in the order shown, each with the
// value it stands for, so what is sent never depends on where an entry stands.
#pragma once

#include <string>
#include <vector>

#include "form/design.h"
#include "words/language.h"

namespace tarvok::form {

struct Entry {
    std::string text;
    int value;  // a channel 1 to 32 or 255 (all), a rate, or the enum's value
};

// In the language given; the process's by default.
std::vector<Entry> entries(List list, words::Language language);
std::vector<Entry> entries(List list);

}  // namespace tarvok::form
