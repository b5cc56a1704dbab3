// GB18030 through glibc's iconv, on every system but Windows (which has its own in
// win/gb18030_codepage.cpp).
#include "plan/text_encoding.h"

#include <iconv.h>

namespace tarvok::plan {

namespace {

const auto kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

struct Gb18030Decoder::Handle {
    iconv_t converter = iconv_open("UTF-8", "GB18030");
    ~Handle() {
        if (converter != kNoConverter) {
            iconv_close(converter);
        }
    }
};

Gb18030Decoder::Gb18030Decoder() = default;
Gb18030Decoder::~Gb18030Decoder() = default;

std::optional<std::string> Gb18030Decoder::to_utf8(std::string_view text) {
    if (!handle_) {
        handle_ = std::make_unique<Handle>();  // most plans are UTF-8 and never need it
    }
    if (handle_->converter == kNoConverter) {
        return std::nullopt;
    }
    // Two GB18030 bytes become at most three UTF-8 bytes, four stay four.
    std::string out(text.size() * 3 / 2 + 4, '\0');
    // iconv takes non-const input pointers but only reads through them.
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* to = out.data();
    std::size_t out_left = out.size();
    iconv(handle_->converter, nullptr, nullptr, nullptr, nullptr);  // a fresh start
    if (iconv(handle_->converter, &in, &in_left, &to, &out_left) == static_cast<std::size_t>(-1) ||
        iconv(handle_->converter, nullptr, nullptr, &to, &out_left) ==
            static_cast<std::size_t>(-1)) {
        return std::nullopt;  // EILSEQ or EINVAL: not GB18030, or cut off mid-character
    }
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace tarvok::plan
