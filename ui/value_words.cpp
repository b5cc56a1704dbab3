#include "ui/value_words.h"

#include <QCoreApplication>

#include "protocol/tables.h"
#include "ui/text.h"
#include "words/language.h"

namespace tarvok::ui {

namespace {

QString mode_entry(protocol::Mode mode) {
    switch (mode) {
    case protocol::Mode::none:
        return QCoreApplication::translate("tarvok::ui::lists", "不关联");
    case protocol::Mode::self_lock:
        return QCoreApplication::translate("tarvok::ui::lists", "自锁");
    case protocol::Mode::linked:
        return QCoreApplication::translate("tarvok::ui::lists", "联动");
    case protocol::Mode::momentary:
        break;
    }
    return QCoreApplication::translate("tarvok::ui::lists", "点动");
}

QString power_on_entry(protocol::PowerOn state) {
    switch (state) {
    case protocol::PowerOn::off:
        return QCoreApplication::translate("tarvok::ui::lists", "上电关");
    case protocol::PowerOn::on:
        return QCoreApplication::translate("tarvok::ui::lists", "上电开");
    case protocol::PowerOn::memory:
        break;
    }
    return QCoreApplication::translate("tarvok::ui::lists", "上电记忆");
}

QString parity_entry(protocol::Parity parity) {
    switch (parity) {
    case protocol::Parity::none:
        return QCoreApplication::translate("tarvok::ui::lists", "无校验");
    case protocol::Parity::odd:
        return QCoreApplication::translate("tarvok::ui::lists", "奇校验");
    case protocol::Parity::even:
        break;
    }
    return QCoreApplication::translate("tarvok::ui::lists", "偶校验");
}

}  // namespace

bool in_english() { return words::language() == words::Language::english; }

QString line_text(const protocol::LineSetting& line) {
    return QString::fromStdString(protocol::line_words(line));
}

QString parity_text(protocol::Parity parity) {
    return from(protocol::shown_in(protocol::kParities, parity, words::language()));
}

QString list_entry(form::List list, const form::Entry& entry) {
    if (!in_english()) {
        return QString::fromStdString(entry.text);
    }
    switch (list) {
    case form::List::channels:
        return entry.value == protocol::kAllChannels
                   ? QCoreApplication::translate("tarvok::ui::lists", "全部")
                   : QString::number(entry.value);
    case form::List::modes:
        return mode_entry(static_cast<protocol::Mode>(entry.value));
    case form::List::power_on_states:
        return power_on_entry(static_cast<protocol::PowerOn>(entry.value));
    case form::List::parities:
        return parity_entry(static_cast<protocol::Parity>(entry.value));
    case form::List::none:
    case form::List::bauds:
        break;
    }
    return QString::fromStdString(entry.text);
}

}  // namespace tarvok::ui
