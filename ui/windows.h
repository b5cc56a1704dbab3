// The windows the main window opens, made without the main window knowing their types:
// each gets what it may use of the main window and nothing more.
#pragma once

class QWidget;

namespace tarvok::ui {

class BatchInbox;
class PortOwner;
class Traffic;

// "通讯记录".
QWidget* make_traffic_window(Traffic& traffic, QWidget* parent);
// "扫描总线".
QWidget* make_scan_window(PortOwner& owner, QWidget* parent);

// "批量配置", and the way in for what the main window hands it; both live as long as
// the window.
struct BatchWindowParts {
    QWidget* window;
    BatchInbox* inbox;
};
BatchWindowParts make_batch_window(PortOwner& owner, QWidget* parent);

}  // namespace tarvok::ui
