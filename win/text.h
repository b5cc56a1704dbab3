// Our texts are UTF-8; Windows speaks UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace tarvok::win {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

}  // namespace tarvok::win
