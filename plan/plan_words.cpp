#include "plan/plan_words.h"

#include "plan/csv_table.h"
#include "plan/row_check.h"

namespace tarvok::plan {

namespace {

constexpr std::size_t kQuotedCharacters = 40;
constexpr std::string_view kHeaderExample = "address,setting,arguments 或 地址,设置,通道,值";
constexpr std::string_view kSaveAsUtf8 = "请另存为 UTF-8 的 CSV 文件";
constexpr std::string_view kSplitHint = "，已停止读取；请把计划分成几个文件";

std::string number(std::size_t n) { return std::to_string(n); }

std::string example(Kind kind) {
    switch (kind) {
    case Kind::mode:
        return "3 自锁";
    case Kind::power_on:
        return "all 上电记忆";
    case Kind::line:
        break;
    }
    return "19200 偶校验";
}

// What a kind's arguments are: "通道 关联方式".
std::string argument_names(Kind kind) {
    switch (kind) {
    case Kind::mode:
        return "通道 关联方式";
    case Kind::power_on:
        return "通道 上电状态";
    case Kind::line:
        break;
    }
    return "波特率 校验位";
}

std::string mixed_words(PlanEncoding before) {
    return "编码与前面的行不同（前面是 " + std::string(encoding_name(before)) +
           "），请把整个文件另存为 UTF-8 的 CSV 文件";
}

// "“值”列（也可写作 value、参数、arguments）".
std::string column_words(Column column) {
    std::string first;
    std::string others;
    for (const ColumnWord& entry : kColumnWords) {
        if (entry.column != column) {
            continue;
        }
        if (first.empty()) {
            first = echo(entry.word) + "列";
        } else {
            others += (others.empty() ? "（也可写作 " : "、") + std::string(entry.word);
        }
    }
    return first + others + "）";
}

// The sentence of a fault, without its line.
std::string sentence(const PlanError& e) {
    switch (e.fault) {
    case PlanFault::quote_stray:
        return "第 " + number(e.number) + " 个字段的右引号之后还有字符，引号外只能有逗号";
    case PlanFault::quote_open:
        return "引号没有在本行配对；字段里的引号要写成两个（\"\"）";
    case PlanFault::cell_outside_header:
        return "第 " + number(e.number) +
               " 个字段没有对应的表头；字段里有逗号时，请给整个字段加上引号";
    case PlanFault::header_expected:
        return "应为表头，例如 " + std::string(kHeaderExample) + "（表头之上至多一行表名）";
    case PlanFault::header_missing:
        return "表头缺少" + column_words(e.column.value_or(Column::value));
    case PlanFault::header_twice:
        return "表头中" + echo(e.word) + "与前面的列重复";
    case PlanFault::row_incomplete:
        return "应为 地址,设置,参数，例如 5,mode,3,自锁";
    case PlanFault::address_bad:
        return "地址" + echo(e.word) + "无效，应为 0 到 " + std::to_string(kLastAddress) +
               " 的整数";
    case PlanFault::setting_unknown:
        return echo(e.word) + "不是设置名，可用：" + choices(kKinds);
    case PlanFault::setting:
        return setting_fault_words(e.setting);
    case PlanFault::channel_range:
        return "通道范围" + echo(e.word) + "无效，应为从小到大的两个通道，例如 1-8";
    case PlanFault::channel_not_taken:
        return "通讯参数作用于整个模块，通道" + echo(e.word) + "应留空";
    case PlanFault::module_line_bad:
        return "线路" + echo(e.word) +
               "无效，应为 波特率 或 波特率/校验位，例如 19200/偶校验；波特率可用：" +
               protocol::baud_list_text();
    case PlanFault::remark_long:
        return "备注超过 " + number(e.number) + " 个字";
    case PlanFault::no_settings:
        return "没有任何设置：表头 " + std::string(kHeaderExample) +
               " 之后每行写一项，例如 5,mode,3,自锁";
    case PlanFault::nul_byte:
        return "含有空字节，不是文本；" + std::string(kSaveAsUtf8);
    case PlanFault::not_text:
        return "既不是 UTF-8 也不是 GB18030 文本，" + std::string(kSaveAsUtf8);
    case PlanFault::mixed_encoding:
        return mixed_words(e.encoding);
    case PlanFault::mixed_encoding_stream:
        return mixed_words(e.encoding) +
               "；从标准输入读入时按第一个不全是 ASCII "
               "字符的行确定编码，直接给出文件名则按整个文件确定";
    case PlanFault::line_too_long:
        return "超过 " + number(e.number) +
               " 字节，已停止读取；计划的一行不会这么长，请检查这是不是 CSV 文件";
    case PlanFault::cr_line_ends:
        return "只用回车（CR）分行，这是早期 Mac 的文本，已停止读取；"
               "请另存为用 LF 或 CR LF 分行的 CSV 文件";
    case PlanFault::too_many_lines:
        return "超过 " + number(e.number) + " 行" + std::string(kSplitHint);
    case PlanFault::too_many_bytes:
        return "超过 " + number(e.number >> 20U) + " MiB" + std::string(kSplitHint);
    case PlanFault::too_many_steps:
        break;
    }
    return "超过 " + number(e.number) + " 项设置" + std::string(kSplitHint);
}

}  // namespace

std::string error_words(const PlanError& error) {
    return (error.line > 0 ? "第 " + std::to_string(error.line) + " 行：" : "") + sentence(error);
}

std::string setting_fault_words(const SettingFault& f) {
    switch (f.problem) {
    case SettingProblem::argument_count:
        return std::string(protocol::name_in(kKinds, f.kind)) + "需要两项：" +
               argument_names(f.kind) + "，例如 " + example(f.kind);
    case SettingProblem::channel:
        return "通道" + echo(f.word) + "无效，应为 1 到 32、第1路 到 第32路、all 或 全部";
    case SettingProblem::mode:
        return echo(f.word) + "不是关联方式，可用：" + choices(protocol::kModes);
    case SettingProblem::power_on:
        return echo(f.word) + "不是上电状态，可用：" + choices(protocol::kPowerOnStates);
    case SettingProblem::baud:
    case SettingProblem::baud_unsupported:
        return "波特率" + echo(f.word) +
               (f.problem == SettingProblem::baud ? "无效" : "模块不支持") + "，可用：" +
               protocol::baud_list_text();
    case SettingProblem::parity:
        break;
    }
    return echo(f.word) + "不是校验位，可用：" + choices(protocol::kParities);
}

std::string file_fault_words(FileFault fault, std::string_view path) {
    const std::string name = "计划文件" + echo(path);
    switch (fault) {
    case FileFault::missing:
        return "找不到" + name + "，请检查路径";
    case FileFault::folder:
        return name + "是一个文件夹，请给出 CSV 文件";
    case FileFault::unreadable:
        return "无法读取" + name + "，请检查文件权限";
    case FileFault::read_error:
        break;
    }
    return "读取" + name + "时出错";
}

std::string title_words(int line) { return "第 " + std::to_string(line) + " 行当作表名略过"; }

std::string_view encoding_name(PlanEncoding encoding) {
    switch (encoding) {
    case PlanEncoding::ascii:
        return "UTF-8（全是 ASCII 字符）";
    case PlanEncoding::utf8:
        return "UTF-8";
    case PlanEncoding::utf8_bom:
        return "UTF-8（带 BOM）";
    case PlanEncoding::gb18030:
        break;
    }
    return "GB18030（GBK）";
}

std::string echo(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            ++characters > kQuotedCharacters) {
            return "“" + std::string(text.substr(0, i)) + "…”";
        }
    }
    return "“" + std::string(text) + "”";
}

}  // namespace tarvok::plan
