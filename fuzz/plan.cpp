// Plan files: any bytes are either a list of settings or faults naming lines of the
// text, each with its words. Read in two pieces cut anywhere, they read the same.
// Every setting accepted encodes to a frame that decodes back to it, and the plan
// written out again, in Chinese or in English, reads back to the same settings. The
// same bytes as one table row's cells make steps or faults, never both. Read as a
// table, the rows make the plan's settings exactly when the plan has no fault, and
// the rows written out as they stand read back to them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "plan/plan_input.h"
#include "plan/plan_table.h"
#include "plan/plan_words.h"
#include "plan/plan_writer.h"
#include "plan/row_check.h"

namespace {

using namespace tarvok;
using plan::PlanStep;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The steps as the writer's rows read them back: one a line from line 2.
std::vector<PlanStep> renumbered(std::vector<PlanStep> steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].line = static_cast<int>(i) + 2;
    }
    return steps;
}

std::vector<PlanStep> unnumbered(std::vector<PlanStep> steps) {
    for (PlanStep& step : steps) {
        step.line = 0;
    }
    return steps;
}

// The bytes as a table: its rows' settings agree with the plan's, and written out as
// they stand they read back to the same settings.
void check_table(std::string_view text, const plan::Plan& plan, int lines) {
    const plan::PlanTable table = plan::read_table(text);
    std::vector<PlanStep> steps;
    std::vector<plan::PlanRow> cells;
    bool rows_ok = true;
    for (const plan::TableRow& row : table.rows) {
        require(row.line >= 1 && row.line <= lines, "a table row's line");
        const auto check = plan::check_row(row.cells, row.line);
        rows_ok = rows_ok && check.ok();
        steps.insert(steps.end(), check.steps.begin(), check.steps.end());
        cells.push_back(row.cells);
    }
    const bool clean = table.ok() && rows_ok && !table.rows.empty();
    require(clean == plan.ok(), "a table is clean where its plan has faults, or the reverse");
    if (clean) {
        require(steps == plan.steps, "a table's rows make other settings than its plan");
        const auto written = plan::parse_plan(plan::write_rows(cells, plan::PlanLanguage::chinese));
        require(unnumbered(written.steps) == unnumbered(steps),
                "a table written out reads otherwise");
    }
}

// The input cut at tabs into a row's six cells.
plan::PlanRow row_from(std::string_view text) {
    std::array<std::string, 6> cells;
    for (std::string& cell : cells) {
        const std::size_t tab = std::min(text.find('\t'), text.size());
        cell = text.substr(0, tab);
        text.remove_prefix(std::min(text.size(), tab + 1));
    }
    return {cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const plan::Plan plan = plan::parse_plan(text);
    plan::PlanReader pieces;
    pieces.judged(plan::whole_encoding(text));
    const std::size_t cut = size == 0 ? 0 : data[size - 1] % size;  // where the input says
    pieces.feed(text.substr(0, cut));
    pieces.feed(text.substr(cut));
    pieces.finish();
    require(pieces.plan() == plan, "read in two pieces, it reads otherwise");
    for (const auto& error : plan.errors) {
        require(error.line >= 0 && error.line <= lines, "error line");
        require(!plan::error_words(error).empty(), "a fault without words");
    }
    check_table(text, plan, lines);
    const auto row = plan::check_row(row_from(text), 3);
    require(row.ok() == !row.steps.empty() && row.steps.size() <= 32, "a row's steps or faults");
    if (!plan.ok()) {
        require(plan.steps.empty(), "a faulty plan keeps settings");
        return 0;
    }
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const PlanStep& s = plan.steps[i];
        require(s.line >= 2 && s.line <= lines && (i == 0 || s.line >= plan.steps[i - 1].line),
                "line");
        const auto decoded = protocol::decode(protocol::encode(s.address, s.request));
        const auto* request = std::get_if<protocol::Request>(&decoded);
        require(request && *request == s.request, "frame round trip");
    }
    const auto expected = renumbered(plan.steps);
    for (const auto language : {plan::PlanLanguage::chinese, plan::PlanLanguage::english}) {
        require(plan::parse_plan(plan::write_plan(plan.steps, language)).steps == expected,
                "the plan written out reads otherwise");
    }
    return 0;
}
