#include "serial/port_messages.h"

#include "serial/port_words.h"

namespace tarvok::serial {

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }
QString text(const std::string& said) { return QString::fromStdString(said); }

FaultFacts facts_of(const SerialError& error) {
    FaultFacts facts;
    facts.fault = error.fault;
    facts.device = utf8(error.device);
    facts.detail = utf8(error.detail);
    facts.holder = error.holder;
    facts.lock_owner = utf8(error.lock_owner);
    return facts;
}

}  // namespace

QString quoted(const QString& typed) { return text(words::quoted(utf8(typed))); }

QString port_number_invalid(const QString& typed) {
    return text(words::port_number_invalid(utf8(typed)));
}

QString open_failed(int port, const SerialError& error) {
    return text(words::open_failed(port, facts_of(error)));
}

QString ports_folder_unreadable(const QString& folder) {
    return text(words::ports_folder_unreadable(utf8(folder)));
}

QString port_lost(int port, const QString& device) {
    return text(words::port_lost(port, utf8(device)));
}

QString write_failed(int port, const QString& device) {
    return text(words::write_failed(port, utf8(device)));
}

QString read_failed(int port, const QString& device) {
    return text(words::read_failed(port, utf8(device)));
}

}  // namespace tarvok::serial
