#include "plan/plan_table.h"

#include <algorithm>
#include <set>

#include "plan/plan_input.h"

namespace tarvok::plan {

PlanTable read_table(std::string_view bytes) {
    PlanTable table;
    PlanReader reader;
    reader.watch_rows([&table](int line, const PlanRow& row) {
        table.rows.push_back(TableRow{line, row});
    });
    reader.judged(whole_encoding(bytes.substr(0, kPlanLimits.bytes)));
    reader.feed(bytes);
    reader.finish();
    const Plan& plan = reader.plan();
    table.encoding = reader.encoding();
    table.title_line = plan.title_line;
    // Each bad row gave the reader one fault: its first, in one of its cells.
    std::set<int> bad_rows;
    for (const TableRow& row : table.rows) {
        if (!check_row(row.cells, row.line).ok()) {
            bad_rows.insert(row.line);
        }
    }
    int empty = 0;
    for (const PlanError& error : plan.errors) {
        if (error.fault == PlanFault::no_settings) {
            ++empty;  // an empty plan is an empty table
        } else if (!error.column || !bad_rows.contains(error.line)) {
            table.faults.push_back(error);
        }
    }
    const auto beyond_rows = static_cast<int>(plan.errors.size()) + plan.more_errors -
                             static_cast<int>(bad_rows.size()) - empty;
    table.more_faults = std::max(0, beyond_rows - static_cast<int>(table.faults.size()));
    if (plan.stopped) {
        table.faults.push_back(*plan.stopped);
    }
    return table;
}

}  // namespace tarvok::plan
