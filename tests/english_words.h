// The plain rooms' words in English, for test_plan: representative sentences, each
// with what it must say, and the check of every catalogue.
#pragma once

#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace tarvok::test {

struct EnglishRow {
    const char* name;
    std::string text;
    QStringList holds;    // what the sentence must say, word for word
    bool english = true;  // false: a machine word that stays Chinese in every language
};

// Made in English, whatever the process speaks.
std::vector<EnglishRow> english_rows();

// Han characters, CJK punctuation (、。) and full-width forms (，：（）).
bool has_cjk(std::string_view text);

// Every catalogue entry in both languages, the English free of CJK, with as many
// places to fill in each; every value of the tables with its English.
void check_catalogues();

}  // namespace tarvok::test
