// GB18030 on Windows: its own code page 54936 (a superset of 936, in which Excel and
// WPS write a CSV on a Chinese Windows). Built into the plan room there in place of glibc's iconv
// (plan/gb18030_iconv.cpp).
#include <windows.h>

#include "plan/text_encoding.h"

namespace tarvok::plan {

namespace {

// A Windows without GB18030 (Wine 8 lacks it) still has GBK, its two-byte part, which
// is what most of these files hold; their four-byte characters are then refused.
UINT gb18030_page() {
    static const UINT page = IsValidCodePage(54936) ? 54936 : 936;
    return page;
}

}  // namespace

// Nothing to keep between lines: Windows' conversion holds no state.
struct Gb18030Decoder::Handle {};

Gb18030Decoder::Gb18030Decoder() = default;
Gb18030Decoder::~Gb18030Decoder() = default;

std::optional<std::string> Gb18030Decoder::to_utf8(std::string_view text) {
    if (text.empty()) {
        return std::string();
    }
    const UINT page = gb18030_page();
    const int size = static_cast<int>(text.size());
    // Refuses what is not GB18030, a character cut off at the end included.
    const int count =
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), count);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace tarvok::plan
