#include "serial/line_settings.h"

namespace tarvok::serial {

namespace {

char parity_letter(protocol::Parity parity) {
    switch (parity) {
    case protocol::Parity::odd:
        return 'o';
    case protocol::Parity::even:
        return 'e';
    case protocol::Parity::none:
        break;
    }
    return 'n';
}

}  // namespace

std::string settings_text(const protocol::LineSetting& line) {
    return std::to_string(line.baud) + "," + parity_letter(line.parity) + ",8,1";
}

}  // namespace tarvok::serial
