// A catalogue: the sentences of one room, each under an id, in Chinese and English
// side by side. Ids are the enum's values in order, so an id finds its entry directly;
// a room checks that at compile time with in_id_order().
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "words/language.h"

namespace tarvok::words {

template <typename Id>
struct Entry {
    Id id;
    Text text;
};

template <typename Id>
using Catalogue = std::span<const Entry<Id>>;

// Whether each entry stands at its id's place: entry 0 holds id 0, and so on.
template <typename Id, std::size_t N>
constexpr bool in_id_order(const std::array<Entry<Id>, N>& table) {
    for (std::size_t at = 0; at < N; ++at) {
        if (static_cast<std::size_t>(table[at].id) != at) {
            return false;
        }
    }
    return true;
}

template <typename Id, std::size_t N>
constexpr const Text& text_of(const std::array<Entry<Id>, N>& table, Id id) {
    return table[static_cast<std::size_t>(id)].text;
}

}  // namespace tarvok::words
