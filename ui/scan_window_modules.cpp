// The scan window's found modules passed on: copied as text, saved as CSV, or handed
// to 批量配置 through the main window.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QSaveFile>
#include <QTreeWidget>

#include "ui/controls.h"
#include "ui/scan_window.h"

namespace tarvok::ui {

namespace {

constexpr int kColumns = 3;  // 地址, 波特率, 校验位

QStringList headers(const QTreeWidget* modules) {
    QStringList names;
    for (int column = 0; column < kColumns; ++column) {
        names.append(modules->headerItem()->text(column));
    }
    return names;
}

QStringList cells(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int column = 0; column < kColumns; ++column) {
        texts.append(item->text(column));
    }
    return texts;
}

// The selected modules, or all when none is selected.
QList<QTreeWidgetItem*> chosen_items(const QTreeWidget* modules) {
    QList<QTreeWidgetItem*> items = modules->selectedItems();
    if (items.isEmpty()) {
        for (int i = 0; i < modules->topLevelItemCount(); ++i) {
            items.append(modules->topLevelItem(i));
        }
    }
    return items;
}

}  // namespace

std::vector<KnownModule> ScanWindow::chosen_modules() const {
    std::vector<KnownModule> chosen;
    for (const QTreeWidgetItem* item : chosen_items(modules)) {
        chosen.push_back(
            KnownModule{static_cast<std::uint8_t>(item->data(0, Qt::DisplayRole).toInt()),
                        {item->data(1, Qt::DisplayRole).toUInt(),
                         static_cast<protocol::Parity>(item->data(2, Qt::UserRole).toInt())}});
    }
    return chosen;
}

void ScanWindow::copy_modules() {
    const QList<QTreeWidgetItem*> items = chosen_items(modules);
    QStringList lines{headers(modules).join(QLatin1Char('\t'))};
    for (const QTreeWidgetItem* item : items) {
        lines.append(cells(item).join(QLatin1Char('\t')));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    note->setText(tr("已复制 %n 个模块。", nullptr, int(items.size())));
}

void ScanWindow::choose_file() {
    auto* dialog =
        new QFileDialog(this, tr("保存找到的模块"), QDir::home().filePath(tr("模块.csv")),
                        QStringLiteral("CSV (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &ScanWindow::save_modules);
    dialog->open();
}

// UTF-8 with a byte order mark, so spreadsheets read the Chinese right.
bool ScanWindow::save_modules(const QString& path) {
    const QList<QTreeWidgetItem*> items = chosen_items(modules);
    QStringList lines{headers(modules).join(QLatin1Char(','))};
    for (const QTreeWidgetItem* item : items) {
        lines.append(cells(item).join(QLatin1Char(',')));
    }
    QSaveFile file(path);
    const QByteArray bytes =
        QByteArrayLiteral("\xEF\xBB\xBF") + (lines.join(QStringLiteral("\r\n")) + "\r\n").toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        note->setText(tr("已保存 %n 个模块到 %1。", nullptr, int(items.size())).arg(path));
        return true;
    }
    note->setText(tr("找到的模块没有保存到 %1：%2，请换一个位置再试。")
                      .arg(path, file.error() == QFileDevice::PermissionsError ? tr("没有写入权限")
                                                                               : tr("无法写入")));
    return false;
}

void ScanWindow::send_to_batch() {
    const std::vector<KnownModule> chosen = chosen_modules();
    if (chosen.empty()) {
        note->setText(tr("还没有找到模块：先扫描。"));
        return;
    }
    owner_.open_batch_with(chosen);
}

}  // namespace tarvok::ui
