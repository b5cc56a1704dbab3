// A run's results in the words a table and a job record show, in Chinese: one word per
// outcome, the reply's delay, and a note on what else the row's exchange met. The
// window's 批量配置 shows them, and both it and tarvokctl --record write them.
#pragma once

#include <string>
#include <string_view>

#include "plan/step_result.h"

namespace tarvok::plan {

// "成功", "失败" (the module refused, as the main window's 修改失败), "无应答",
// "未确认", "未发送".
std::string_view outcome_word(Outcome outcome);

// "19200 偶校验".
std::string line_text(const protocol::LineSetting& line);

// The reply's delay from its send, "4.2"; empty when no reply counted.
std::string reply_ms_text(const StepResult& result);

// What else a reader of the row needs: why it failed or was not sent, a late or
// duplicate reply, a line change proven or in doubt. Empty when there is nothing.
std::string result_note(const StepResult& result);

// A remark about a row's exchange met after its result: "迟到的回复（240 ms），…".
// Empty for remarks that belong to no row (bytes before a frame, what was learnt).
std::string remark_note(const Remark& remark);

}  // namespace tarvok::plan
