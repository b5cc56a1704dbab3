// What the operator reads when a port fails: one sentence in the user's language that
// names the port and the device. Plain C++ (UTF-8 in, UTF-8 out), shared by every
// platform; serial/port_messages.h hands Qt's strings through these.
#pragma once

#include <string>

#include "serial/serial_fault.h"
#include "words/catalogue.h"

namespace tarvok::serial::words {

// The catalogue's ids: each a sentence, or a part of one, in Chinese and English.
enum class PortWord {
    port,                // "串口 {}"
    port_device,         // "串口 {}（{}）"
    process,             // "{}（进程 {}）": who holds a busy port
    busy_untold,         // the system never tells who (Windows)
    busy_unnamed,        // the system could tell but did not
    busy_modem_manager,  // ModemManager probing a new adapter
    busy_open_only,      // a program with the port open and no lock
    busy_held,           // a program with a lock
    stale_lock,
    only_root,           // who may remove a stale lock file
    only_owner_or_root,  // likewise
    number_invalid,
    no_such_number,  // no device carries the number
    no_such_device,  // the number names a device that is not there
    not_serial,
    permission,
    simulator_exited,
    folder_unreadable_open,
    open_refused,  // the system's own words for a rare fault
    folder_unreadable,
    lost,
    write_failed,
    read_failed,
};

// Every entry, in id order, for a check that none lacks a language.
tarvok::words::Catalogue<PortWord> port_catalogue();

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
