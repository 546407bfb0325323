#pragma once
// The About box: the program's name and version, what it does, and a link that opens in the
// user's web browser.
#include <QDialog>

class QLabel;

namespace marlix {

// The version of the build, as the CMake project states it ("0.1.0").
const char* MarlixVersion() noexcept;

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* Link() const noexcept { return link_; }

private:
    QLabel* link_;
};

// Opens the About box (window-modal) and returns it; it deletes itself when closed.
AboutBox* ShowAboutBox(QWidget* parent);

} // namespace marlix
