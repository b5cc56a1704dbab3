// Text as the CSV files people open in a spreadsheet hold it: plans, job records and
// saved traffic logs alike.
#pragma once

#include <string>
#include <string_view>

namespace tarvok::words {

// Text as one CSV field: line breaks (and NUL, which no text file holds) become
// blanks, and it is quoted when it holds what a bare field cannot (, " #).
std::string csv_field(std::string_view text);

// The byte-order mark that tells a spreadsheet the file is UTF-8; without it one on
// Windows reads the local code page and garbles every Chinese word.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace tarvok::words
