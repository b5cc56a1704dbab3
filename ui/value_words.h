// The words the windows show for the protocol's values, in the process's language
// (words/language.h): Chinese, the tables' own names; English, words of the same
// meaning. The sentences around them come from Qt's translations (ui/translations/).
#pragma once

#include <QString>

#include "form/lists.h"
#include "protocol/request.h"

namespace tarvok::ui {

bool in_english();

// "19200 偶校验"; "19200 even parity".
QString line_text(const protocol::LineSetting& line);
// "偶校验"; "even parity".
QString parity_text(protocol::Parity parity);

// An entry of the main window's lists. In English a short word ("Latch" for self-lock,
// "3" for channel 3), since the design's lists are narrow; in Chinese the form's own.
QString list_entry(form::List list, const form::Entry& entry);

}  // namespace tarvok::ui
