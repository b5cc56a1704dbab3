// What the operator reads when a setting cannot go out: one sentence in the window's
// language that names what failed and what to do.
#pragma once

#include <QString>

namespace tarvok::ui {

QString address_invalid(const QString& text);

}  // namespace tarvok::ui
