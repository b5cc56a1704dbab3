#include "cli/json_line.h"

#include <array>
#include <cstdio>

#include "protocol/tables.h"

namespace tarvok::cli {

namespace {

using protocol::find_value;

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            std::array<char, 8> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(c));
            out += escaped.data();
        } else {
            out += c;
        }
    }
    return out + '"';
}

// Appends "key":value, after a comma unless it is the first.
void add(std::string& line, std::string_view key, std::string_view value) {
    if (line.size() > 1) {
        line += ',';
    }
    line += '"';
    line += key;
    line += "\":";
    line += value;
}

std::string milliseconds(double ms) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.3f", ms);
    return text.data();
}

}  // namespace

std::string json_line(const StepResult& r) {
    std::string line = "{";
    if (r.step.line != 0) {
        add(line, "line", std::to_string(r.step.line));
    }
    add(line, "address", std::to_string(r.step.address));
    add(line, "setting",
        quoted(find_value(protocol::kKinds, protocol::kind_of(r.step.request))->alias));
    add(line, "request", quoted(protocol::describe(r.step.request)));
    add(line, "frame", quoted(protocol::hex(r.frame)));
    add(line, "reply", r.reply ? quoted(protocol::hex(*r.reply)) : "null");
    add(line, "received", quoted(protocol::hex(r.received)));
    add(line, "outcome", quoted(find_value(kOutcomes, r.outcome)->alias));
    add(line, "attempts", std::to_string(r.attempts));
    add(line, "milliseconds", milliseconds(r.milliseconds));
    if (r.late) {
        add(line, "late", "true");
    }
    if (r.reply && !r.echoed) {
        add(line, "warning", quoted(kMismatchWarning));
    }
    if (!r.note.empty()) {
        add(line, "note", quoted(r.note));
    }
    line += "}\n";
    return line;
}

}  // namespace tarvok::cli
