#include "workspace/connect/FramePrompts.h"

#include "workspace/connect/ConnectDialog.h"

namespace marlix {

std::optional<ConnectionRequest> FramePrompts::ChooseConnection() {
    CConnectDialog dialog(session_, profile_, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Result();
}

} // namespace marlix
