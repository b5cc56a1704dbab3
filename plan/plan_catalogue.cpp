// The plan room's catalogue: every sentence of plan/plan_words.h in Chinese and
// English. Plan-file words inside a sentence (headers, 自锁, self-lock) are machine
// words: the English names the ASCII ones, which every plan file takes.
#include <array>

#include "plan/plan_words.h"

namespace tarvok::plan {

namespace {

using W = PlanWord;

constexpr std::array<words::Entry<PlanWord>, 48> kWords = {{
    {W::line_prefix, {"第 {} 行：", "line {}: "}},
    {W::title, {"第 {} 行当作表名略过", "line {} taken as the title and skipped"}},
    {W::header_example,
     {"address,setting,arguments 或 地址,设置,通道,值", "address,setting,arguments"}},
    {W::save_as_utf8, {"请另存为 UTF-8 的 CSV 文件", "save it as a UTF-8 CSV file"}},
    {W::split_hint,
     {"，已停止读取；请把计划分成几个文件",
      ", so reading stopped; split the plan into several files"}},
    {W::column, {"{}列", "column {}"}},
    {W::column_also, {"（也可写作 {}", " (also {}"}},
    {W::column_close, {"）", ")"}},
    {W::mixed_encoding,
     {"编码与前面的行不同（前面是 {}），请把整个文件另存为 UTF-8 的 CSV 文件",
      "the encoding differs from the lines before ({}); save the whole file as a UTF-8 CSV "
      "file"}},
    {W::stream_encoding,
     {"；从标准输入读入时按第一个不全是 ASCII "
      "字符的行确定编码，直接给出文件名则按整个文件确定",
      "; read from standard input, the first line that is not all ASCII decides the "
      "encoding, read from a file named on the command line, the whole file does"}},
    {W::quote_stray,
     {"第 {} 个字段的右引号之后还有字符，引号外只能有逗号",
      "field {} has text after its closing quote; only a comma may follow a quote"}},
    {W::quote_open,
     {"引号没有在本行配对；字段里的引号要写成两个（\"\"）",
      "a quote is not closed on this line; write a quote inside a field as two (\"\")"}},
    {W::cell_outside_header,
     {"第 {} 个字段没有对应的表头；字段里有逗号时，请给整个字段加上引号",
      "field {} has no column in the header; put a field that holds a comma in quotes"}},
    {W::header_expected,
     {"应为表头，例如 {}（表头之上至多一行表名）",
      "expected a header, for example {} (with at most one title line above it)"}},
    {W::header_missing, {"表头缺少{}", "the header lacks {}"}},
    {W::header_twice, {"表头中{}与前面的列重复", "{} repeats an earlier column of the header"}},
    {W::row_incomplete,
     {"应为 地址,设置,参数，例如 5,mode,3,自锁",
      "expected address,setting,arguments, for example 5,mode,3,self-lock"}},
    {W::address_bad,
     {"地址{}无效，应为 0 到 {} 的整数",
      "address {} is not valid: expected a whole number from 0 to {}"}},
    {W::setting_unknown, {"{}不是设置名，可用：{}", "{} is not a setting; allowed: {}"}},
    {W::channel_range,
     {"通道范围{}无效，应为从小到大的两个通道，例如 1-8",
      "channel range {} is not valid: expected two channels, the lower first, for example "
      "1-8"}},
    {W::channel_not_taken,
     {"通讯参数作用于整个模块，通道{}应留空",
      "line settings are for the whole module: leave the channel {} empty"}},
    {W::module_line_bad,
     {"线路{}无效，应为 波特率 或 波特率/校验位，例如 19200/偶校验；波特率可用：{}",
      "line {} is not valid: expected a baud rate or baud rate/parity, for example "
      "19200/even; baud rates: {}"}},
    {W::remark_long, {"备注超过 {} 个字", "the remark is longer than {} characters"}},
    {W::no_settings,
     {"没有任何设置：表头 {} 之后每行写一项，例如 5,mode,3,自锁",
      "no settings: after the header {} write one setting a line, for example "
      "5,mode,3,self-lock"}},
    {W::nul_byte, {"含有空字节，不是文本；{}", "contains NUL bytes, so it is not text; {}"}},
    {W::not_text,
     {"既不是 UTF-8 也不是 GB18030 文本，{}", "is neither UTF-8 nor GB18030 text; {}"}},
    {W::line_too_long,
     {"超过 {} 字节，已停止读取；计划的一行不会这么长，请检查这是不是 CSV 文件",
      "longer than {} bytes, so reading stopped; no plan line is that long: check that this "
      "is a CSV file"}},
    {W::cr_line_ends,
     {"只用回车（CR）分行，这是早期 Mac 的文本，已停止读取；"
      "请另存为用 LF 或 CR LF 分行的 CSV 文件",
      "lines end in CR alone, as in old Mac text, so reading stopped; save it as a CSV file "
      "with LF or CR LF line ends"}},
    {W::too_many_lines, {"超过 {} 行{}", "more than {} lines{}"}},
    {W::too_many_bytes, {"超过 {} MiB{}", "more than {} MiB{}"}},
    {W::too_many_steps, {"超过 {} 项设置{}", "more than {} settings{}"}},
    {W::mode_arguments,
     {"关联方式需要两项：通道 关联方式，例如 3 自锁",
      "mode takes two values, a channel and a mode, for example 3 self-lock"}},
    {W::power_on_arguments,
     {"上电状态需要两项：通道 上电状态，例如 all 上电记忆",
      "power-on takes two values, a channel and a power-on state, for example all memory"}},
    {W::line_arguments,
     {"通讯参数需要两项：波特率 校验位，例如 19200 偶校验",
      "line takes two values, a baud rate and a parity, for example 19200 even"}},
    {W::bad_channel,
     {"通道{}无效，应为 1 到 32、第1路 到 第32路、all 或 全部",
      "channel {} is not valid: expected 1 to 32 or all"}},
    {W::not_mode, {"{}不是关联方式，可用：{}", "{} is not a mode; allowed: {}"}},
    {W::not_power_on, {"{}不是上电状态，可用：{}", "{} is not a power-on state; allowed: {}"}},
    {W::bad_baud, {"波特率{}无效，可用：{}", "baud rate {} is not valid; allowed: {}"}},
    {W::baud_unsupported,
     {"波特率{}模块不支持，可用：{}", "the module does not support baud rate {}; allowed: {}"}},
    {W::not_parity, {"{}不是校验位，可用：{}", "{} is not a parity; allowed: {}"}},
    {W::encoding_ascii, {"UTF-8（全是 ASCII 字符）", "UTF-8 (ASCII only)"}},
    {W::encoding_utf8, {"UTF-8", "UTF-8"}},
    {W::encoding_utf8_bom, {"UTF-8（带 BOM）", "UTF-8 (with BOM)"}},
    {W::encoding_gb18030, {"GB18030（GBK）", "GB18030 (GBK)"}},
    {W::file_missing, {"找不到计划文件{}，请检查路径", "plan file {} not found; check the path"}},
    {W::file_folder,
     {"计划文件{}是一个文件夹，请给出 CSV 文件", "plan file {} is a folder; give a CSV file"}},
    {W::file_unreadable,
     {"无法读取计划文件{}，请检查文件权限", "plan file {} cannot be read; check its permissions"}},
    {W::file_read_error, {"读取计划文件{}时出错", "reading plan file {} failed"}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::file_read_error,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<PlanWord> plan_catalogue() { return kWords; }

}  // namespace tarvok::plan
