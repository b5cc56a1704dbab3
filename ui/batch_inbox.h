// What the main window may hand the window 批量配置 without knowing its type: a plan
// file to open (tarvok PLAN.csv), and modules found by the scan.
#pragma once

#include <QString>

#include <vector>

#include "ui/port_owner.h"

namespace tarvok::ui {

class BatchInbox {
public:
    virtual ~BatchInbox() = default;
    virtual void open_plan(const QString& path) = 0;
    // Their addresses and lines become rows' addresses and lines.
    virtual void take_modules(const std::vector<KnownModule>& modules) = 0;
};

}  // namespace tarvok::ui
