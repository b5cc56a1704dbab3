// The plain rooms' UTF-8 text as the widgets' QString.
#pragma once

#include <QString>

#include <string_view>

namespace tarvok::ui {

inline QString from(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tarvok::ui
