#include "cli/json_line.h"

#include <array>
#include <cstdio>

#include "protocol/request.h"
#include "protocol/tables.h"
#include "words/language.h"

namespace tarvok::cli {

namespace {

using protocol::find_value;

std::string json_string(std::string_view text) {
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

std::string_view doubt_word(plan::Doubt doubt) {
    switch (doubt) {
    case plan::Doubt::leftover:
        return "leftover";
    case plan::Doubt::line_unproven:
        return "line-unproven";
    case plan::Doubt::stopped_unproven:
        return "stopped-unproven";
    case plan::Doubt::none:
        break;
    }
    return {};
}

std::string_view unsent_word(plan::Unsent unsent) {
    switch (unsent) {
    case plan::Unsent::stopped:
        return "stopped";
    case plan::Unsent::port_lost:
        return "port-lost";
    case plan::Unsent::line_fault:
        return "line-fault";
    case plan::Unsent::line_busy:
        return "line-busy";
    case plan::Unsent::write_failed:
        return "write-failed";
    case plan::Unsent::none:
        break;
    }
    return {};
}

std::string milliseconds(double ms) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.3f", ms);
    return text.data();
}

}  // namespace

std::string line_json(const protocol::LineSetting& line) {
    return "{\"baud\":" + std::to_string(line.baud) + ",\"parity\":\"" +
           std::string(find_value(protocol::kParities, line.parity)->alias) + "\"}";
}

std::string json_line(const plan::StepResult& r) {
    std::string line = "{";
    if (r.step.line != 0) {
        add(line, "line", std::to_string(r.step.line));
    }
    add(line, "address", std::to_string(r.step.address));
    add(line, "setting",
        json_string(find_value(protocol::kKinds, protocol::kind_of(r.step.request))->alias));
    // A machine word like the others: the same in every language.
    add(line, "request", json_string(protocol::describe(r.step.request, words::Language::chinese)));
    add(line, "frame", json_string(protocol::hex(r.frame)));
    add(line, "reply", r.reply ? json_string(protocol::hex(*r.reply)) : "null");
    add(line, "received", json_string(protocol::hex(r.received)));
    add(line, "outcome", json_string(plan::outcome_name(r.outcome)));
    add(line, "attempts", std::to_string(r.attempts));
    add(line, "milliseconds", milliseconds(r.milliseconds));
    if (r.late) {
        add(line, "late", "true");
    }
    if (r.reply && !r.echoed) {
        add(line, "warning", json_string("reply-mismatch"));
    }
    if (const auto doubt = doubt_word(r.doubt); !doubt.empty()) {
        add(line, "doubt", json_string(doubt));
    }
    if (const auto unsent = unsent_word(r.unsent); !unsent.empty()) {
        add(line, "unsent", json_string(unsent));
    }
    if (r.moved_to) {
        add(line, "moved_to", line_json(*r.moved_to));
        add(line, "proven", r.proven ? "true" : "false");
    }
    line += "}\n";
    return line;
}

}  // namespace tarvok::cli
