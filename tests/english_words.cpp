#include "tests/english_words.h"

#include <QTest>

#include <algorithm>

#include "bus/traffic_words.h"
#include "cli/cli_words.h"
#include "cli/exit_codes.h"
#include "cli/result_words.h"
#include "cmdline/error.h"
#include "cmdline/error_words.h"
#include "plan/plan_input.h"
#include "plan/plan_words.h"
#include "plan/run_words.h"
#include "protocol/reply.h"
#include "protocol/scan.h"
#include "serial/port_words.h"
#include "sim/sim_words.h"

namespace tarvok::test {

namespace {

using namespace protocol;
using serial::HoldKind;
namespace port = serial::words;

// The process's language for a scope; then the one before.
class Speaking {
public:
    explicit Speaking(words::Language language) : before_(words::language()) {
        words::use_language(language);
    }
    ~Speaking() { words::use_language(before_); }
    Speaking(const Speaking&) = delete;
    Speaking& operator=(const Speaking&) = delete;

private:
    words::Language before_;
};

qsizetype holes(std::string_view pattern) {
    return QString::fromUtf8(pattern.data(), qsizetype(pattern.size())).count("{}");
}

template <typename Id>
void check(const char* room, words::Catalogue<Id> catalogue) {
    for (const auto& entry : catalogue) {
        const QByteArray where = QByteArray(room) + " entry " + QByteArray::number(int(entry.id));
        QVERIFY2(!entry.text.zh.empty() && !entry.text.en.empty(), where);
        QVERIFY2(!has_cjk(entry.text.en), where);
        // A place missing in one language would drop a number or a name there.
        QVERIFY2(holes(entry.text.zh) == holes(entry.text.en), where);
    }
}

template <typename Value, std::size_t N>
void check(const char* table, const std::array<Named<Value>, N>& entries) {
    for (const auto& entry : entries) {
        const QByteArray where = QByteArray(table) + " " + QByteArray(entry.alias.data());
        QVERIFY2(!entry.english.empty() && !has_cjk(entry.english), where);
    }
}

serial::FaultFacts facts(serial::SerialFault fault, const char* device = "") {
    serial::FaultFacts facts;
    facts.fault = fault;
    facts.device = device;
    return facts;
}

serial::FaultFacts busy(const char* program, HoldKind kind) {
    serial::FaultFacts busy = facts(serial::SerialFault::busy, "/dev/ttyUSB0");
    busy.holder = serial::PortHolder{kind, program, 812};
    return busy;
}

serial::FaultFacts stale_lock() {
    serial::FaultFacts stale = facts(serial::SerialFault::stale_lock, "/dev/ttyUSB0");
    stale.detail = "/var/lock/LCK..ttyUSB0";
    stale.lock_owner = "root";
    return stale;
}

// The first fault of a plan in words, or its first step when it has none.
std::string read(const char* plan_text) {
    const plan::Plan p = plan::parse_plan(plan_text);
    if (!p.errors.empty()) {
        return plan::error_words(p.errors.front());
    }
    return p.steps.empty() ? std::string() : describe(p.steps.front().request);
}

Frame frame_of(const char* text) {
    const QByteArray bytes = QByteArray::fromHex(text);
    Frame frame{};
    std::copy_n(bytes.constData(), frame.size(), frame.begin());
    return frame;
}

// A line setting to 19200 even parity from line 4 for address 5, sent at 9600.
plan::StepResult line_change(plan::Outcome outcome) {
    plan::StepResult r;
    r.step = {4, 5, LineSetting{19200, Parity::even}, std::nullopt, {}};
    r.line = {9600, Parity::none};
    r.outcome = outcome;
    r.attempts = 1;
    r.wait_ms = 200;
    r.reply_ms = 240;
    return r;
}

std::string option_fault(cmdline::Error error) {
    return cmdline::usage_line("tarvokctl", cmdline::error_text(error));
}

}  // namespace

bool has_cjk(std::string_view text) {
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return std::any_of(s.begin(), s.end(), [](QChar c) {
        return (c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF) ||
               (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
    });
}

void check_catalogues() {
    check("protocol", protocol_catalogue());
    check("port", port::port_catalogue());
    check("cmdline", cmdline::error_catalogue());
    check("tarvokctl runs", cli::cli_catalogue());
    check("tarvokctl", cli::tool_catalogue());
    check("tarvokctl --help", cli::help_catalogue());
    check<cli::Exit>("exit codes", cli::kExitCodes);
    check("run words", plan::run_catalogue());
    check("tarvok-sim", sim::sim_catalogue());
    check("plan", plan::plan_catalogue());
    check("traffic log", bus::traffic_catalogue());
    check("kinds", kKinds);
    check("commands", kCommands);
    check("modes", kModes);
    check("power-on states", kPowerOnStates);
    check("parities", kParities);
}

std::vector<EnglishRow> english_rows() {
    const Speaking speaking(words::Language::english);
    const Frame sent = encode(5, ModeSetting{3, Mode::self_lock});
    const Frame garbled = frame_of("220544000000016D");
    plan::StepResult unproven = line_change(plan::Outcome::unconfirmed);
    unproven.doubt = plan::Doubt::line_unproven;
    unproven.moved_to = LineSetting{19200, Parity::even};
    plan::StepResult late = line_change(plan::Outcome::done);
    late.late = true;
    late.duplicates = 2;
    plan::StepResult leftover = line_change(plan::Outcome::unconfirmed);
    leftover.doubt = plan::Doubt::leftover;
    const std::array results{unproven, late, leftover};
    const cmdline::Allowed port_number{cmdline::Expect::number, 1, 255, cmdline::Unit::port,
                                       "auto"};
    return {
        {"no such port",
         port::open_failed(3, facts(serial::SerialFault::no_such_port)),
         {"Cannot open port 3", "not found", "port number"}},
        {"ModemManager probing",
         port::open_failed(3, busy("ModemManager", HoldKind::lock)),
         {"Port 3 (/dev/ttyUSB0) is busy: ModemManager (process 812)", "wait",
          "ID_MM_DEVICE_IGNORE=1"}},
        {"held with a lock",
         port::open_failed(3, busy("picocom", HoldKind::lock_file)),
         {"picocom (process 812) holds it", "close that program"}},
        {"open without a lock",
         port::open_failed(3, busy("screen", HoldKind::open_only)),
         {"screen (process 812) has it open without a lock"}},
        {"stale lock file",
         port::open_failed(3, stale_lock()),
         {"lock file /var/lock/LCK..ttyUSB0", "user root", "only root",
          "sudo rm /var/lock/LCK..ttyUSB0"}},
        {"no permission",
         port::open_failed(1, facts(serial::SerialFault::permission, "/dev/ttyS0")),
         {"port 1 (/dev/ttyS0)", "permission", "dialout"}},
        {"port number", port::port_number_invalid("abc"), {"“abc”", "1 to 255"}},
        {"port lost",
         port::port_lost(2, "/dev/ttyUSB1"),
         {"Port 2 (/dev/ttyUSB1)", "disconnected"}},
        {"plan fault",
         read("address,setting,arguments\n5.5,mode,3,self-lock\n"),
         {"line 2: address “5.5”", "0 to 255"}},
        {"setting fault",
         read("address,setting,arguments\n5,mode,3,latch\n"),
         {"line 2: “latch” is not a mode", "none, self-lock, linked, momentary"}},
        {"header lacks a column",
         read("地址,设置\n"),
         {"line 1: the header lacks column “value” (also arguments)"}},
        {"Chinese plan words",
         read("地址,设置,通道,值\n5,关联方式,第3路,自锁\n"),
         {"channel 3 mode self-lock"}},
        {"option value",
         option_fault({cmdline::Fault::bad_value, "--port", "abc", "", port_number}),
         {"tarvokctl: --port value “abc” is not valid", "1 to 255 (port number), or auto",
          "tarvokctl --help"}},
        {"option parity",
         option_fault({cmdline::Fault::bad_value, "--parity", "x", "", {cmdline::Expect::parity}}),
         {"allowed: none, odd, even"}},
        {"sent frame",
         line(sent_words(sent)),
         {"sent 55 05 44 00 00 01 03 A2 · address 5 channel 3 mode self-lock"}},
        {"success", line(received_words(frame_of("220544000000016C"), sent)), {"· success"}},
        {"failure", line(received_words(frame_of("220544000000006B"), sent)), {"· failure"}},
        {"checksum", describe(judge(garbled), garbled), {"checksum error (should be 6C)"}},
        {"refused frame",
         describe_frame(frame_of("55014400000121BC")),
         {"mode parameters 00 00 01 21"}},
        {"line setting",
         describe(LineSetting{19200, Parity::even}),
         {"line settings 19200 even parity"}},
        {"late reply", late_words(240), {"late reply (240 ms)"}},
        {"found again",
         found_again_words(7, {9600, Parity::none}, {19200, Parity::even}),
         {"address 7 also answered at 19200 even parity", "first found at 9600 no parity"}},
        {"unconfirmed line change",
         cli::result_line(unproven, false),
         {"line 4 · address 5 · line settings 19200 even parity → unconfirmed",
          "did not answer at 19200 even parity", "may still talk at 9600 no parity",
          "tarvokctl scan --baud all --parity all --addresses 5"}},
        {"late reply",
         cli::result_line(late, false),
         {"→ done", "late reply (240 ms), the deadline was 200 ms", "--timeout 480"}},
        {"duplicates in a record",
         plan::result_note(late),
         {"duplicate reply: two modules may share this address (2 of them)"}},
        {"unproven reply in a record",
         plan::result_note(leftover),
         {"cannot be shown to answer this setting"}},
        {"summary",
         cli::summary_text(results, {}),
         {"Summary: 3 settings", "done         1  line 4", "unconfirmed  2  line 4"}},
        {"JSON request",
         describe(ModeSetting{3, Mode::self_lock}, words::Language::chinese),
         {"第3路 关联方式 自锁"},
         false},
    };
}

}  // namespace tarvok::test
