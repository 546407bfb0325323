#include "app/automation/AutomationPrompts.h"

#include <cstdio>

namespace marlix {

void AutomationPrompts::ShowMessage(const QString& text, const QString&, MessageIcon) {
    messages_ << text;
    // Nobody reads a message box of the server: its error output goes where the bus logs it.
    std::fprintf(stderr, "marlix: %s\n", qPrintable(text));
}

QStringList AutomationPrompts::TakeMessages() {
    QStringList taken;
    taken.swap(messages_);
    return taken;
}

} // namespace marlix
