#include "plan/text_encoding.h"

#include <iconv.h>

#include <algorithm>

namespace tarvok::plan {

namespace {

const auto kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false;
        }
        i += length;
    }
    return true;
}

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
