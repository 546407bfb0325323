#pragma once
// The window's real dialogs: the questions of DialogPrompts, and the connect dialog, which needs
// the session and the profile.
#include "results/view/UserPrompts.h"
#include "workspace/connect/StagedProfile.h"

#include <memory>

namespace marlix {

class CODBCSession;
class ProfileStore;

class FramePrompts final : public DialogPrompts {
public:
    FramePrompts(QWidget* parent, CODBCSession& session, ProfileStore& profile)
        : DialogPrompts(parent), parent_(parent), session_(session), profile_(profile) {}

    std::optional<ConnectionRequest> ChooseConnection() override;
    void ConnectionMade() override;

private:
    QWidget* parent_;
    CODBCSession& session_;
    ProfileStore& profile_;
    std::unique_ptr<StagedProfile> chosen_; // the last dialog's settings, kept once it connects
};

} // namespace marlix
