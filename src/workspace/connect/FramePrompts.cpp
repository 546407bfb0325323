#include "workspace/connect/FramePrompts.h"

#include "workspace/connect/ConnectDialog.h"

namespace marlix {

std::optional<ConnectionRequest> FramePrompts::ChooseConnection() {
    chosen_ = std::make_unique<StagedProfile>(profile_);
    CConnectDialog dialog(session_, *chosen_, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Result();
}

void FramePrompts::ConnectionMade() {
    if (chosen_) chosen_->Apply();
    chosen_.reset();
}

} // namespace marlix
