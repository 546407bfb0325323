#include "workspace/frame/ScriptCommands.h"

#include "core/FileException.h"
#include "core/ProfileStore.h"
#include "results/view/SQLResultsView.h"
#include "results/view/UserPrompts.h"
#include "workspace/editor/DravelView.h"
#include "workspace/frame/DravelDoc.h"
#include "workspace/frame/FrameActions.h"
#include "workspace/frame/MainFrame.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace marlix {
namespace {

constexpr const char* kRecentSection = "Recent File List";

std::string RecentValueName(int index) {
    return "File" + std::to_string(index + 1);
}

} // namespace

ScriptCommands::ScriptCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    FrameActions& actions = frame_.Actions();
    connect(actions.Action(Command::New), &QAction::triggered, this, &ScriptCommands::New);
    connect(actions.Action(Command::Open), &QAction::triggered, this, &ScriptCommands::Open);
    connect(actions.Action(Command::Save), &QAction::triggered, this, &ScriptCommands::Save);
    connect(actions.Action(Command::SaveAs), &QAction::triggered, this, &ScriptCommands::SaveAs);
    for (int i = 0; i < actions.RecentFileActions().size(); ++i) {
        connect(actions.RecentFileActions()[i], &QAction::triggered, this, [this, i] {
            if (i >= recent_.size() || !frame_.Enabled(Command::Open) || !MaySaveChanges()) return;
            OpenPath(recent_[i]);
        });
    }
    LoadRecentFiles();
}

void ScriptCommands::ScriptChanged() {
    if (replacingText_) return;
    frame_.Document().SetModified(true);
    frame_.UpdateTitle();
}

void ScriptCommands::New() {
    if (!frame_.Enabled(Command::New) || !MaySaveChanges()) return;
    frame_.Document().Renew();
    frame_.ScriptView().SetScriptText(QString());
    // A new script counts as changed, as any edit of the text does.
    frame_.Document().SetModified(true);
    frame_.UpdateTitle();
    frame_.UpdateCommands();
}

void ScriptCommands::Open() {
    if (!frame_.Enabled(Command::Open) || !MaySaveChanges()) return;
    const QString path = frame_.Prompts().ChooseOpenFile();
    if (!path.isEmpty()) OpenPath(path);
}

bool ScriptCommands::OpenPath(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    CDravelDoc::Loaded loaded;
    try {
        loaded = CDravelDoc::Read(absolute);
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
        return false;
    }
    replacingText_ = true;
    frame_.ScriptView().SetScriptText(loaded.text);
    replacingText_ = false;
    frame_.Document().Opened(absolute, loaded.encoding);
    AddRecentFile(absolute);
    frame_.UpdateTitle();
    frame_.UpdateCommands();
    return true;
}

bool ScriptCommands::Save() {
    if (frame_.ResultsViewActive()) return frame_.ResultsView().SaveResults();
    const QString& path = frame_.Document().Path();
    if (path.isEmpty()) return SaveAs();
    return WriteTo(path);
}

bool ScriptCommands::SaveAs() {
    if (frame_.ResultsViewActive()) return frame_.ResultsView().SaveResultsAs();
    const QString& current = frame_.Document().Path();
    const QString path =
        frame_.Prompts().ChooseSaveFile(tr("Save As"), current.isEmpty() ? QStringLiteral("*.sql") : current);
    if (path.isEmpty()) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!WriteTo(absolute)) return false;
    AddRecentFile(absolute); // a script saved under a new name is opened again from the list
    return true;
}

bool ScriptCommands::WriteTo(const QString& path) {
    bool keptEncoding = true;
    try {
        keptEncoding = frame_.Document().Save(path, frame_.ScriptView().FileText());
    } catch (...) {
        frame_.ReportFailure(std::current_exception());
        return false;
    }
    if (!keptEncoding)
        frame_.statusBar()->showMessage(
            tr("The script now holds characters Latin-1 cannot store: it was saved as UTF-8."), 10000);
    frame_.UpdateTitle();
    frame_.UpdateCommands();
    return true;
}

bool ScriptCommands::MaySaveChanges() {
    CDravelDoc& doc = frame_.Document();
    if (!doc.Modified()) return true;
    const QString title = doc.Title(frame_.Session().Title(), frame_.Session().Connected());
    switch (frame_.Prompts().AskSaveChanges(title)) {
    case SaveAnswer::Yes:
        Save();
        return !doc.Modified();
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void ScriptCommands::LoadRecentFiles() {
    recent_.clear();
    for (int i = 0; i < kRecentFiles; ++i) {
        std::string path = frame_.Profile().GetString(kRecentSection, RecentValueName(i), "");
        if (!path.empty()) recent_.append(QString::fromStdString(path));
    }
    ShowRecentFiles();
}

void ScriptCommands::AddRecentFile(const QString& path) {
    recent_.removeAll(path);
    recent_.prepend(path);
    while (recent_.size() > kRecentFiles)
        recent_.removeLast();
    for (int i = 0; i < kRecentFiles; ++i)
        frame_.Profile().WriteString(kRecentSection, RecentValueName(i),
                                     i < recent_.size() ? recent_[i].toStdString() : std::string());
    ShowRecentFiles();
}

void ScriptCommands::ShowRecentFiles() {
    const QList<QAction*>& actions = frame_.Actions().RecentFileActions();
    for (int i = 0; i < actions.size(); ++i) {
        const bool used = i < recent_.size();
        actions[i]->setVisible(used);
        if (used) {
            QString shown = QDir::toNativeSeparators(recent_[i]);
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            actions[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        }
    }
    frame_.Actions().RecentSeparator()->setVisible(!recent_.isEmpty());
}

} // namespace marlix
