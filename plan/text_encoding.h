// The encodings a plan file arrives in: UTF-8, and GB18030 (a superset of GBK), which
// Excel and WPS use for CSV on a Chinese Windows. Plain C++; GB18030 comes from the
// system: glibc's iconv (plan/gb18030_iconv.cpp), Windows' code page 54936
// (win/gb18030_codepage.cpp), as CMake chooses.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvok::plan {

// What a plan was read as; ASCII until a line beyond ASCII decides it.
enum class PlanEncoding { ascii, utf8, utf8_bom, gb18030 };

bool is_ascii(std::string_view text);

// Well-formed UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool valid_utf8(std::string_view text);

// Turns GB18030 text into UTF-8, line by line; the converter opens at the first use
// and serves every later line.
class Gb18030Decoder {
public:
    Gb18030Decoder();
    ~Gb18030Decoder();
    Gb18030Decoder(const Gb18030Decoder&) = delete;
    Gb18030Decoder& operator=(const Gb18030Decoder&) = delete;

    // The text in UTF-8; nothing when it is not GB18030 (or the system lacks the
    // converter, which glibc always has).
    std::optional<std::string> to_utf8(std::string_view text);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

}  // namespace tarvok::plan
