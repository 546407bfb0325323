#pragma once
// New, Open, Save, Save As, the recent-file list and the question whether to save changes.
#include <QObject>
#include <QString>
#include <QStringList>

namespace marlix {

class CMainFrame;

class ScriptCommands final : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 8;

    explicit ScriptCommands(CMainFrame& frame);

    // New: asks to save changes first; then an empty, unnamed script.
    void New();
    // Open...: asks to save changes, then for a file.
    void Open();
    // Loads `path` into the editor; a file that cannot be read is reported and leaves the open
    // script exactly as it was. False when nothing was loaded.
    bool OpenPath(const QString& path);
    // Save writes to the script's file (asking for one when it has none); false when nothing was
    // written (cancelled or failed).
    bool Save();
    bool SaveAs();
    // Closing, Open and New: asks "Document %s has changed..." when the script is modified. True
    // when the caller may go on.
    bool MaySaveChanges();

    // The editor's text changed.
    void ScriptChanged();
    const QStringList& RecentFiles() const noexcept { return recent_; }

private:
    bool WriteTo(const QString& path);
    void LoadRecentFiles();
    void AddRecentFile(const QString& path);
    void ShowRecentFiles();

    CMainFrame& frame_;
    QStringList recent_;
    bool replacingText_ = false;
};

} // namespace marlix
