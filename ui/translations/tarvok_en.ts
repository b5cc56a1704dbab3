<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>form</name>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>修改失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>修改成功</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>修改输入输出关联方式</source>
        <translation>Input/output mode</translation>
    </message>
    <message>
        <source>修改输出上电状态</source>
        <translation>Power-on state</translation>
    </message>
    <message>
        <source>修改通讯参数</source>
        <translation>Module baud rate and parity</translation>
    </message>
    <message>
        <source>关联方式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>模块地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Ch</translation>
    </message>
    <message>
        <source>默认状态</source>
        <translation>State</translation>
    </message>
</context>
<context>
    <name>tarvok::ui::BatchWindow</name>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>应答 ms</source>
        <translation>Reply ms</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot write</translation>
    </message>
    <message>
        <source>%1没有保存到 %2：%3，请换一个位置再试。</source>
        <translation>%1 was not saved to %2: %3. Try another place.</translation>
    </message>
    <message>
        <source>计划文件“%1”有误，没有打开：</source>
        <translation>The plan file “%1” has faults and was not opened:</translation>
    </message>
    <message numerus="yes">
        <source>还有 %n 处有误</source>
        <translation>
            <numerusform>%n more fault</numerusform>
            <numerusform>%n more faults</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已打开“%1”：%n 行</source>
        <translation>
            <numerusform>Opened “%1”: %n row</numerusform>
            <numerusform>Opened “%1”: %n rows</numerusform>
        </translation>
    </message>
    <message>
        <source>编码为 %1</source>
        <translation>encoding %1</translation>
    </message>
    <message>
        <source>%1。</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>计划</source>
        <translation>The plan</translation>
    </message>
    <message numerus="yes">
        <source>计划已保存到 %1（%n 行）。</source>
        <translation>
            <numerusform>Plan saved to %1 (%n row).</numerusform>
            <numerusform>Plan saved to %1 (%n rows).</numerusform>
        </translation>
    </message>
    <message>
        <source>还没有运行过：按“开始”运行之后，再保存结果。</source>
        <translation>Nothing has run yet: press Start, then save the results.</translation>
    </message>
    <message>
        <source>运行记录</source>
        <translation>The job record</translation>
    </message>
    <message numerus="yes">
        <source>运行记录已保存到 %1（%n 行）。</source>
        <translation>
            <numerusform>Job record saved to %1 (%n row).</numerusform>
            <numerusform>Job record saved to %1 (%n rows).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已加入扫描找到的 %n 个模块。选好通道、设置和值后按“添加”，为它们各生成设置（按各自的线路）；也可以在表中直接填写。</source>
        <translation>
            <numerusform>Added the %n module the scan found. Choose the channels, setting and value, then press Add to make its settings (at its own line); or fill in the table directly.</numerusform>
            <numerusform>Added the %n modules the scan found. Choose the channels, setting and value, then press Add to make their settings (each at its own line); or fill in the table directly.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>共 %n 项：%1。</source>
        <translation>
            <numerusform>%n setting: %1.</numerusform>
            <numerusform>%n settings: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>可按“重试失败的行”再发没有成功的行，或按“保存结果…”留下记录。</source>
        <translation> Press Retry failed rows to send the rows that did not succeed again, or Save results… to keep a record.</translation>
    </message>
    <message>
        <source>可按“保存结果…”留下记录。</source>
        <translation> Press Save results… to keep a record.</translation>
    </message>
    <message numerus="yes">
        <source>%n 行有误，已标出（鼠标停在格上可看原因）。第 %1 行：%2</source>
        <translation>
            <numerusform>%n row is wrong and marked (hover over a cell to see why). Row %1: %2</numerusform>
            <numerusform>%n rows are wrong and marked (hover over a cell to see why). Row %1: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>地址%1无效：请写 0 到 255 的地址，如 5、1-8 或 1-8,12</source>
        <translation>Address %1 is not valid: write addresses from 0 to 255, such as 5, 1-8 or 1-8,12</translation>
    </message>
    <message numerus="yes">
        <source>已添加 %n 行。</source>
        <translation>
            <numerusform>Added %n row.</numerusform>
            <numerusform>Added %n rows.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已复制 %n 行（制表符分隔，可粘贴到电子表格）。</source>
        <translation>
            <numerusform>Copied %n row (tab-separated, to paste into a spreadsheet).</numerusform>
            <numerusform>Copied %n rows (tab-separated, to paste into a spreadsheet).</numerusform>
        </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>没有失败的行。</source>
        <translation>No row failed.</translation>
    </message>
    <message>
        <source>表里还没有设置：用上面的“添加”生成，或打开计划文件。</source>
        <translation>The table holds no settings yet: make some with Add above, or open a plan file.</translation>
    </message>
    <message>
        <source>什么也没有发送：%1</source>
        <translation>Nothing was sent: %1</translation>
    </message>
    <message>
        <source>串口正被另一个窗口使用，请等它结束后再开始。</source>
        <translation>Another window is using the port: start again once it has finished.</translation>
    </message>
    <message>
        <source>正在停止：进行中的一项结束后停下……</source>
        <translation>Stopping after the setting in flight…</translation>
    </message>
    <message>
        <source>正在发送 %1/%2 · 第 %3 行 · 地址 %4 · %5</source>
        <translation>Sending %1/%2 · row %3 · address %4 · %5</translation>
    </message>
    <message>
        <source>按 %1 发送</source>
        <translation>sent at %1</translation>
    </message>
    <message>
        <source>运行完成：%1</source>
        <translation>Run complete: %1</translation>
    </message>
    <message>
        <source>运行已停止：%1</source>
        <translation>Run stopped: %1</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除行</source>
        <translation>Delete rows</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>打开…</source>
        <translation>Open…</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>重试失败的行</source>
        <translation>Retry failed rows</translation>
    </message>
    <message>
        <source>保存结果…</source>
        <translation>Save results…</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>批量配置</source>
        <translation>Batch setup</translation>
    </message>
    <message>
        <source>如 1-8,12</source>
        <translation>e.g. 1-8,12</translation>
    </message>
    <message>
        <source>一路（3）、范围（1-8，每路一行）或 全部（一帧）</source>
        <translation>One channel (3), a range (1-8, a row per channel) or all (one frame)</translation>
    </message>
    <message>
        <source>打开计划</source>
        <translation>Open a plan</translation>
    </message>
    <message>
        <source>保存计划</source>
        <translation>Save the plan</translation>
    </message>
    <message>
        <source>计划.csv</source>
        <translation>plan.csv</translation>
    </message>
    <message>
        <source>批量配置记录 %1.csv</source>
        <translation>batch record %1.csv</translation>
    </message>
    <message>
        <source>保存结果</source>
        <translation>Save the results</translation>
    </message>
    <message>
        <source>按表中各行逐项发送（F5）</source>
        <translation>Send the table&apos;s rows one by one (F5)</translation>
    </message>
    <message>
        <source>进行中的一项结束后停下（Esc）</source>
        <translation>Stop after the setting in flight (Esc)</translation>
    </message>
    <message>
        <source>打开 tarvokctl 使用的计划文件（Ctrl+O）</source>
        <translation>Open a plan file as tarvokctl reads it (Ctrl+O)</translation>
    </message>
    <message>
        <source>把表中各行保存为计划文件（Ctrl+S）</source>
        <translation>Save the rows as a plan file (Ctrl+S)</translation>
    </message>
    <message>
        <source>把选中的行以制表符分隔复制到剪贴板（Ctrl+C）</source>
        <translation>Copy the selected rows to the clipboard, tab-separated (Ctrl+C)</translation>
    </message>
    <message>
        <source>删除选中的行（Delete）</source>
        <translation>Delete the selected rows (Delete)</translation>
    </message>
    <message>
        <source>选中的行上移（Alt+↑）</source>
        <translation>Move the selected rows up (Alt+↑)</translation>
    </message>
    <message>
        <source>选中的行下移（Alt+↓）</source>
        <translation>Move the selected rows down (Alt+↓)</translation>
    </message>
    <message>
        <source>计划各行</source>
        <translation>Plan rows</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>串口号：%1 · %2（主窗口的串口号、波特率和校验位）</source>
        <translation>Port: %1 · %2 (the main window&apos;s port, baud rate and parity)</translation>
    </message>
    <message>
        <source>串口号：？</source>
        <translation>Port: ?</translation>
    </message>
    <message>
        <source>CSV (*.csv);;所有文件 (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
</context>
<context>
    <name>tarvok::ui::ScanWindow</name>
    <message>
        <source>全部（%1 种波特率和校验位）</source>
        <translation>All (%1 baud rates and parities)</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>加入批量配置</source>
        <translation>Add to batch setup</translation>
    </message>
    <message>
        <source>扫描总线</source>
        <translation>Bus scan</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>把选中的模块（没有选中时为全部）以制表符分隔复制到剪贴板（Ctrl+C）</source>
        <translation>Copy the selected modules (all when none is selected) to the clipboard, tab-separated (Ctrl+C)</translation>
    </message>
    <message>
        <source>把选中的模块（没有选中时为全部）保存为 CSV 文件</source>
        <translation>Save the selected modules (all when none is selected) as a CSV file</translation>
    </message>
    <message>
        <source>把选中的模块（没有选中时为全部）的地址和线路交给批量配置（Ctrl+B）</source>
        <translation>Hand the addresses and lines of the selected modules (all when none is selected) to batch setup (Ctrl+B)</translation>
    </message>
    <message>
        <source>向每个地址发送一条通讯参数命令，内容正是发送时所用的波特率和校验位：模块按原设置回复，不会改变任何设置（模块可能把同样的值再保存一次）</source>
        <translation>Sends each address the line-setting command that names the very baud rate and parity it travels at: a module answers at its own line and changes nothing (it may store the same values again)</translation>
    </message>
    <message>
        <source>起始地址</source>
        <translation>From address</translation>
    </message>
    <message>
        <source>结束地址</source>
        <translation>To address</translation>
    </message>
    <message>
        <source>扫描进度</source>
        <translation>Scan progress</translation>
    </message>
    <message>
        <source>找到的模块</source>
        <translation>Modules found</translation>
    </message>
    <message>
        <source>扫描状态</source>
        <translation>Scan status</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>串口号：%1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>串口号：？</source>
        <translation>Port: ?</translation>
    </message>
    <message>
        <source>当前波特率和校验位（%1）</source>
        <translation>Current baud rate and parity (%1)</translation>
    </message>
    <message>
        <source>当前波特率和校验位</source>
        <translation>Current baud rate and parity</translation>
    </message>
    <message>
        <source>正在扫描 %1 · 地址 %2 · 已找到 %3 个模块</source>
        <translation>Scanning %1 · address %2 · modules found: %3</translation>
    </message>
    <message>
        <source>回复迟到，但只能是对这个地址的回复</source>
        <translation>The reply came late, but can only be from this address</translation>
    </message>
    <message numerus="yes">
        <source>已复制 %n 个模块。</source>
        <translation>
            <numerusform>Copied %n module.</numerusform>
            <numerusform>Copied %n modules.</numerusform>
        </translation>
    </message>
    <message>
        <source>保存找到的模块</source>
        <translation>Save the modules found</translation>
    </message>
    <message>
        <source>模块.csv</source>
        <translation>modules.csv</translation>
    </message>
    <message numerus="yes">
        <source>已保存 %n 个模块到 %1。</source>
        <translation>
            <numerusform>Saved %n module to %1.</numerusform>
            <numerusform>Saved %n modules to %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>找到的模块没有保存到 %1：%2，请换一个位置再试。</source>
        <translation>The modules found were not saved to %1: %2. Try another place.</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot write</translation>
    </message>
    <message>
        <source>还没有找到模块：先扫描。</source>
        <translation>No modules found yet: scan first.</translation>
    </message>
    <message>
        <source>串口正被另一个窗口使用，请等它结束后再开始。</source>
        <translation>Another window is using the port: start again once it has finished.</translation>
    </message>
    <message>
        <source>这次扫描最多约需 %1 秒，可随时按“停止”。</source>
        <translation>This scan may take up to about %1 s; press Stop at any time.</translation>
    </message>
    <message>
        <source>正在停止……</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>%1（第 %2/%3 种）</source>
        <translation>%1 (line %2 of %3)</translation>
    </message>
    <message numerus="yes">
        <source>扫描完成，找到 %n 个模块。</source>
        <translation>
            <numerusform>Scan complete: %n module found.</numerusform>
            <numerusform>Scan complete: %n modules found.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>扫描已停止，找到 %n 个模块。</source>
        <translation>
            <numerusform>Scan stopped: %n module found.</numerusform>
            <numerusform>Scan stopped: %n modules found.</numerusform>
        </translation>
    </message>
    <message>
        <source>没有找到模块。可以试试：%1检查接线，RS-485 适配器的 A、B 两线是否接反；确认模块已通电。</source>
        <translation>No module found. Try this: %1check the wiring, and whether the RS-485 adapter&apos;s A and B lines are swapped; make sure the modules have power.</translation>
    </message>
    <message>
        <source>选“全部”，询问所有波特率和校验位；</source>
        <translation>choose All to ask at every baud rate and parity; </translation>
    </message>
</context>
<context>
    <name>tarvok::ui::TrafficWindow</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>tarvok::ui::lists</name>
    <message>
        <source>不关联</source>
        <translation>None</translation>
    </message>
    <message>
        <source>自锁</source>
        <translation>Latch</translation>
    </message>
    <message>
        <source>联动</source>
        <translation>Linked</translation>
    </message>
    <message>
        <source>点动</source>
        <translation>Pulse</translation>
    </message>
    <message>
        <source>上电关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>上电开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>上电记忆</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
</context>
<context>
    <name>tarvok::ui::main_form</name>
    <message>
        <source>%1 增减</source>
        <translation>%1 up/down</translation>
    </message>
    <message>
        <source>没有反应时按 F12 查看通讯记录</source>
        <translation>No answer? Press F12 to see the traffic log.</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口正以 %1 打开，地址 %2 的模块在 %3：请关闭串口，把波特率和校验位改为 %3 后重新打开。</source>
        <translation>The port is open at %1, and the module at address %2 is at %3: close the port, set the baud rate and parity to %3 and open it again.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>通讯记录…</source>
        <translation>Traffic log…</translation>
    </message>
    <message>
        <source>扫描总线…</source>
        <translation>Bus scan…</translation>
    </message>
    <message>
        <source>批量配置…</source>
        <translation>Batch setup…</translation>
    </message>
</context>
<context>
    <name>tarvok::ui::messages</name>
    <message>
        <source>模块地址“%1”无效：模块地址必须是 0 到 255 之间的数字，本次未发送。</source>
        <translation>Module address “%1” is not valid: it must be a number from 0 to 255. Nothing was sent.</translation>
    </message>
</context>
</TS>
