// A plan file read for a table editor (the window's 批量配置): every row of settings
// as its cells, good or bad, so a bad one can be shown marked and mended, and the
// faults no row's cells show (the header, quoting, the encoding, limits), for which
// tarvokctl would refuse the file as a whole. Judged whole for its encoding, as
// tarvokctl judges a file given by name, by the same reader.
#pragma once

#include <string_view>
#include <vector>

#include "plan/plan.h"
#include "plan/row_check.h"

namespace tarvok::plan {

struct TableRow {
    int line = 0;  // in the file
    PlanRow cells;
};

struct PlanTable {
    std::vector<TableRow> rows;
    // Faults beyond the rows' own, the first kShownErrors of them, and how many more.
    std::vector<PlanError> faults;
    int more_faults = 0;
    int title_line = 0;
    PlanEncoding encoding = PlanEncoding::ascii;
    // Whether the rows are the whole of the file's meaning; a row's own faults are
    // for the table to show.
    bool ok() const { return faults.empty() && more_faults == 0; }
};

PlanTable read_table(std::string_view bytes);

}  // namespace tarvok::plan
