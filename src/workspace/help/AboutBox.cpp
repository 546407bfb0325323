#include "workspace/help/AboutBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#ifndef MARLIX_VERSION
#error "MARLIX_VERSION comes from the CMake project version"
#endif

namespace marlix {
namespace {

// The driver manager every connection goes through, and where its drivers are described.
constexpr const char* kDriverManagerUrl = "https://www.unixodbc.org/";

} // namespace

const char* MarlixVersion() noexcept {
    return MARLIX_VERSION;
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), link_(new QLabel(this)) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About Marlix"));

    auto* title = new QLabel(QStringLiteral("<b style=\"font-size:large\">Marlix %1</b>")
                                 .arg(QString::fromLatin1(MarlixVersion())),
                             this);
    title->setObjectName(QStringLiteral("aboutTitle"));
    auto* text = new QLabel(tr("Queries databases through ODBC and turns their results into SQL scripts: "
                               "INSERT, UPDATE, DELETE, UPSERT or loader text in the syntax of MS SQL, "
                               "Oracle, MySQL, MS Access, Interbase/Firebird, PostgreSQL, SQLite or "
                               "generic SQL."),
                            this);
    text->setWordWrap(true);
    text->setMinimumWidth(440);
    link_->setObjectName(QStringLiteral("aboutLink"));
    link_->setText(tr("Connections go through the unixODBC driver manager:<br><a href=\"%1\">%2</a>")
                       .arg(QString::fromLatin1(kDriverManagerUrl), QStringLiteral("www.unixodbc.org")));
    link_->setTextFormat(Qt::RichText);
    link_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link_->setOpenExternalLinks(true);
    link_->setWordWrap(true);
    auto* built = new QLabel(tr("Built with Qt %1.").arg(QString::fromLatin1(QT_VERSION_STR)), this);

    auto* column = new QVBoxLayout;
    column->addWidget(title);
    column->addWidget(text);
    column->addWidget(link_);
    column->addWidget(built);
    auto* row = new QHBoxLayout;
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        auto* picture = new QLabel(this);
        picture->setPixmap(icon.pixmap(64, 64));
        picture->setAlignment(Qt::AlignTop);
        row->addWidget(picture);
    }
    row->addLayout(column, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

AboutBox* ShowAboutBox(QWidget* parent) {
    auto* box = new AboutBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace marlix
