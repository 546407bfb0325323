#include "workspace/HelpTopics.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace marlix {
namespace {

// The README section "## The window", up to the next section of the same level.
QString WindowSection() {
    QFile file(QStringLiteral(":/help/README.md"));
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("# Marlix\n\nThe help text is missing.");
    const QString readme = QString::fromUtf8(file.readAll());
    const qsizetype start = readme.indexOf(QStringLiteral("\n## The window"));
    if (start < 0) return readme;
    qsizetype end = readme.indexOf(QStringLiteral("\n## "), start + 1);
    return readme.mid(start + 1, end < 0 ? -1 : end - start - 1);
}

} // namespace

void ShowHelpTopics(QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("helpTopics"));
    dialog->setWindowTitle(QObject::tr("Marlix Help"));
    auto* browser = new QTextBrowser(dialog);
    browser->setMarkdown(WindowSection());
    browser->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    dialog->resize(720, 560);
    dialog->show();
}

void ShowAbout(QWidget* parent) {
    QMessageBox::about(parent, QObject::tr("About Marlix"),
                       QObject::tr("<b>Marlix</b><br>Queries databases through ODBC and turns their results "
                                   "into SQL scripts."));
}

} // namespace marlix
