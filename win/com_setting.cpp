#include "win/com_setting.h"

namespace tarvok::win {

namespace {

BYTE parity_byte(protocol::Parity parity) {
    switch (parity) {
    case protocol::Parity::none:
        return NOPARITY;
    case protocol::Parity::odd:
        return ODDPARITY;
    case protocol::Parity::even:
        return EVENPARITY;
    }
    return NOPARITY;
}

bool set_state(HANDLE port, const protocol::LineSetting& setting) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        return false;
    }
    dcb.BaudRate = setting.baud;
    dcb.ByteSize = 8;
    dcb.Parity = parity_byte(setting.parity);
    dcb.fParity = setting.parity != protocol::Parity::none;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // RS-485 adapters that switch direction themselves want both lines up.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return SetCommState(port, &dcb) != 0;
}

}  // namespace

bool apply_setting(HANDLE port, const protocol::LineSetting& setting) {
    // A Linux pseudo-terminal (the simulator's, under Wine) keeps no parity bit, and a
    // recent kernel refuses a parity setting there when nothing else would change;
    // by way of no parity it is a change. A real port takes the first call.
    return set_state(port, setting) ||
           (setting.parity != protocol::Parity::none &&
            set_state(port, {setting.baud, protocol::Parity::none}) && set_state(port, setting));
}

serial::SerialFault open_fault(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return serial::SerialFault::no_such_port;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return serial::SerialFault::busy;
    default:
        return serial::SerialFault::open_failed;
    }
}

}  // namespace tarvok::win
