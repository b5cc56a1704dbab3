#include "win/words.h"

#include <windows.h>

#include "serial/port_words.h"
#include "win/text.h"

namespace tarvok::win {

std::string com_name(int port) { return "COM" + std::to_string(port); }

std::string port_words(const PortFact& fact) {
    switch (fact.kind) {
    case PortFact::Kind::open_failed: {
        serial::FaultFacts facts;
        facts.fault = fact.fault;
        // A number with no port behind it has no device to name.
        facts.device =
            fact.fault == serial::SerialFault::no_such_port ? std::string() : com_name(fact.port);
        facts.detail = fact.detail;
        facts.holder_untold = true;
        return serial::words::open_failed(fact.port, facts);
    }
    case PortFact::Kind::number_invalid:
        return serial::words::port_number_invalid(fact.detail);
    case PortFact::Kind::lost:
        return serial::words::port_lost(fact.port, com_name(fact.port));
    case PortFact::Kind::write_failed:
        return serial::words::write_failed(fact.port, com_name(fact.port));
    case PortFact::Kind::read_failed:
        return serial::words::read_failed(fact.port, com_name(fact.port));
    }
    return {};
}

std::string system_words(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text, size);
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' ||
                              words.back() == L'.' || words.back() == L'。')) {
        words.pop_back();
    }
    return words.empty() ? "系统错误 " + std::to_string(error) : utf8(words);
}

std::string address_words(std::string_view typed) {
    return "模块地址“" + serial::words::quoted(std::string(typed)) +
           "”无效：模块地址必须是 0 到 255 之间的数字，本次未发送。";
}

}  // namespace tarvok::win
