#include "protocol/protocol_words.h"

namespace tarvok::protocol {

namespace {

using W = ProtocolWord;

constexpr std::array<words::Entry<ProtocolWord>, 23> kWords = {{
    {W::channel, {"第{}路", "channel {}"}},
    {W::all, {"全部", "all"}},
    {W::all_channels, {"全部通道", "all channels"}},
    {W::list_separator, {"、", ", "}},
    {W::with_params, {"{} 参数 {}", "{} parameters {}"}},
    {W::unknown_code, {"未知命令 0x{}", "unknown command 0x{}"}},
    {W::start_byte_not, {"起始字节不是 {}", "start byte is not {}"}},
    {W::checksum_wrong, {"校验和错误（应为 {}）", "checksum error (should be {})"}},
    {W::unknown_command, {"未知命令", "unknown command"}},
    {W::out_of_range, {"参数超出范围", "parameter out of range"}},
    {W::success, {"成功", "success"}},
    {W::failure, {"失败", "failure"}},
    {W::sent, {"发送", "sent"}},
    {W::received, {"接收", "received"}},
    {W::at_address, {"地址 {} {}", "address {} {}"}},
    {W::late, {"迟到的回复（{} ms）", "late reply ({} ms)"}},
    {W::echo, {"回显", "echo"}},
    {W::garbled_echo,
     {"回显与发送的帧不一致，可能是总线冲突或接线故障",
      "echo differs from the frame sent: possibly a bus collision or a wiring fault"}},
    {W::duplicate,
     {"重复的回复，可能有两个模块使用同一地址",
      "duplicate reply: two modules may share this address"}},
    {W::busy_line,
     {"线路上一直有数据，无法判断回复：请检查是否有别的主机或设备在发送",
      "the line never goes quiet, so no reply can be judged: check whether another master "
      "or device is sending"}},
    {W::unmatched, {"可能是对先前命令的回复", "may answer an earlier command"}},
    {W::mismatch,
     {"回复的地址或命令与发送的不一致",
      "the reply's address or command differs from the one sent"}},
    {W::found_again,
     {"注意：地址 {} 在 {} 也有回复（先在 {} 找到）：可能是总线冲突，或两个模块同一地址而线路不同；"
      "只列出一次",
      "Note: address {} also answered at {} (first found at {}): a bus collision, or two "
      "modules with one address on different lines; listed once"}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::found_again,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<ProtocolWord> protocol_catalogue() { return kWords; }

std::string_view word(ProtocolWord id) { return words::pick(words::text_of(kWords, id)); }

std::string_view word(ProtocolWord id, words::Language language) {
    return words::pick(words::text_of(kWords, id), language);
}

std::string_view echo_words() { return word(W::echo); }
std::string_view garbled_echo_words() { return word(W::garbled_echo); }
std::string_view duplicate_words() { return word(W::duplicate); }
std::string_view busy_words() { return word(W::busy_line); }
std::string_view unmatched_words() { return word(W::unmatched); }
std::string_view mismatch_words() { return word(W::mismatch); }

}  // namespace tarvok::protocol
