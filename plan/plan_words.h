// Every sentence of the plan room, in Chinese: what a plan fault, a setting's fault or
// a note on the reading says to the user. Front ends call these where they show a
// fact; nothing inside the room decides anything from their text.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "plan/plan.h"
#include "plan/setting_words.h"
#include "plan/text_encoding.h"

namespace tarvok::plan {

// "第 4 行：地址“5.5”无效，应为 0 到 255 的整数"; without the line when it is 0.
std::string error_words(const PlanError& error);

// "通道“33”无效，应为 1 到 32、第1路 到 第32路、all 或 全部".
std::string setting_fault_words(const SettingFault& fault);

// Why a plan file given by name could not be read at all.
enum class FileFault { missing, folder, unreadable, read_error };

// "找不到计划文件“柜3.csv”，请检查路径".
std::string file_fault_words(FileFault fault, std::string_view path);

// "第 1 行当作表名略过".
std::string title_words(int line);

// "UTF-8（带 BOM）".
std::string_view encoding_name(PlanEncoding encoding);

// Text from the user echoed in a message: “text”, cut to 40 characters with "…" so a
// runaway word cannot flood the terminal.
std::string echo(std::string_view text);

// "不关联/none、自锁/self-lock、…": every entry of a table, for help and error texts.
template <typename Value, std::size_t N>
std::string choices(const std::array<protocol::Named<Value>, N>& table) {
    std::string text;
    for (const auto& entry : table) {
        text +=
            (text.empty() ? "" : "、") + std::string(entry.name) + "/" + std::string(entry.alias);
    }
    return text;
}

}  // namespace tarvok::plan
