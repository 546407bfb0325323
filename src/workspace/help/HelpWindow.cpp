#include "workspace/help/HelpWindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace marlix {
namespace {

constexpr const char* kHelpRoot = "qrc:/marlix/help/";

const char* PageOf(HelpTopic topic) {
    switch (topic) {
    case HelpTopic::Connecting:
        return "connecting.html";
    case HelpTopic::Options:
        return "options.html";
    case HelpTopic::MainWindow:
        break;
    }
    return "window.html";
}

} // namespace

HelpTopic HelpTopicOf(int number) noexcept {
    switch (number) {
    case static_cast<int>(HelpTopic::Connecting):
        return HelpTopic::Connecting;
    case static_cast<int>(HelpTopic::Options):
        return HelpTopic::Options;
    default:
        return HelpTopic::MainWindow;
    }
}

QUrl HelpTopicUrl(HelpTopic topic) {
    QUrl url(QString::fromLatin1(kHelpRoot) + QString::fromLatin1(PageOf(topic)));
    url.setFragment(QStringLiteral("topic%1").arg(static_cast<int>(topic)));
    return url;
}

QUrl HelpContentsUrl() {
    return QUrl(QString::fromLatin1(kHelpRoot) + QStringLiteral("index.html"));
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Marlix Help"));
    setModal(false);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/marlix/help")});

    auto* contents = new QPushButton(tr("&Contents"), this);
    back_ = new QPushButton(tr("&Back"), this);
    forward_ = new QPushButton(tr("&Forward"), this);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    for (QPushButton* b : {contents, back_, forward_})
        b->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    layout->addWidget(buttons);
    resize(820, 640);

    connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(HelpContentsUrl()); });
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    // F1 inside the help shows where to begin.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] { browser_->setSource(HelpContentsUrl()); });
}

void HelpWindow::ShowTopic(HelpTopic topic) {
    browser_->setSource(HelpTopicUrl(topic));
}

HelpWindow* ShowHelp(QWidget* parent, HelpTopic topic) {
    QWidget* owner = parent ? parent->window() : nullptr;
    HelpWindow* help = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!help) {
        help = new HelpWindow(owner);
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->ShowTopic(topic);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

} // namespace marlix
