// What the operator reads when a port fails: one sentence in Chinese that names the
// port and the device. Plain C++ (UTF-8 in, UTF-8 out), shared by every platform;
// serial/port_messages.h hands Qt's strings through these.
#pragma once

#include <string>

#include "serial/serial_fault.h"

namespace tarvok::serial::words {

// Typed text as a message quotes it: at most 40 characters, then "…", so a pasted
// page never makes a message taller than the screen.
std::string quoted(const std::string& typed);

std::string port_number_invalid(const std::string& text);
std::string open_failed(int port, const FaultFacts& facts);
std::string port_lost(int port, const std::string& device);
// For the port number's tooltip when the folder of port links cannot be read.
std::string ports_folder_unreadable(const std::string& folder);
// The line refused bytes handed to it while open.
std::string write_failed(int port, const std::string& device);
// The driver reported a fault on the open line while bytes came in.
std::string read_failed(int port, const std::string& device);

}  // namespace tarvok::serial::words
