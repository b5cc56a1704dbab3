#include "plan/plan.h"

#include "plan/csv_table.h"
#include "plan/row_check.h"

namespace tarvok::plan {

void PlanCheck::take(int line, std::string_view text) {
    if (plan_.stopped) {
        return;
    }
    auto fields = fields_of(text);
    if (auto* error = std::get_if<PlanError>(&fields)) {
        error->line = line;
        fail(std::move(*error));
        return;
    }
    const auto& cells = std::get<Cells>(fields);
    if (cells.empty()) {
        return;
    }
    switch (stage_) {
    case Stage::header:
        if (is_header(cells)) {
            take_header(line, cells);
        } else {
            title_ = line;  // a title, when a header follows
            stage_ = Stage::after_title;
        }
        return;
    case Stage::after_title:
        if (is_header(cells)) {
            plan_.title_line = title_;
            take_header(line, cells);
            return;
        }
        header_lost();
        break;
    case Stage::rows:
        break;
    }
    take_row(line, cells);
}

void PlanCheck::take_header(int line, const Cells& cells) {
    stage_ = Stage::rows;
    auto layout = layout_of(cells);
    if (auto* error = std::get_if<PlanError>(&layout)) {
        // Later lines are still checked as settings: a wrong header hides no fault.
        layout_ = kClassicLayout;
        error->line = line;
        fail(std::move(*error));
        return;
    }
    layout_ = std::get<Layout>(layout);
}

void PlanCheck::take_row(int line, const Cells& cells) {
    auto row = row_of(cells, layout_);
    if (auto* error = std::get_if<PlanError>(&row)) {
        error->line = line;
        fail(std::move(*error));
        return;
    }
    if (watcher_) {
        watcher_(line, std::get<PlanRow>(row));
    }
    RowCheck check = check_row(std::get<PlanRow>(row), line);
    if (!check.ok()) {
        fail(std::move(check.faults.front()));
        return;
    }
    steps_ += check.steps.size();
    if (steps_ > max_steps_) {
        stop(fault_at(line, PlanFault::too_many_steps, std::nullopt, {}, max_steps_));
    } else if (plan_.errors.empty()) {
        plan_.steps.insert(plan_.steps.end(), check.steps.begin(), check.steps.end());
    }
}

// The row held as a title had no header after it: it was meant as the header, or the
// header is missing. Later lines are still checked as settings.
void PlanCheck::header_lost() {
    stage_ = Stage::rows;
    layout_ = kClassicLayout;
    fail(fault_at(title_, PlanFault::header_expected));
}

void PlanCheck::fail(PlanError error) {
    if (stage_ == Stage::after_title) {
        header_lost();  // its fault comes first, in line order
    }
    plan_.steps = {};  // a faulty plan never runs; its settings need no room
    if (plan_.errors.size() < static_cast<std::size_t>(kShownErrors)) {
        plan_.errors.push_back(std::move(error));
    } else {
        ++plan_.more_errors;
    }
}

void PlanCheck::stop(PlanError reason) {
    plan_.steps = {};
    plan_.stopped = std::move(reason);
}

void PlanCheck::finish() {
    if (plan_.stopped) {
        return;
    }
    if (stage_ == Stage::after_title) {
        header_lost();
    }
    if (plan_.ok() && plan_.steps.empty()) {
        plan_.errors.push_back(fault_at(0, PlanFault::no_settings));
    }
}

}  // namespace tarvok::plan
