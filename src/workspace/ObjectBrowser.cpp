#include "workspace/ObjectBrowser.h"

namespace marlix {

CObjectBrowser::CObjectBrowser(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("objectBrowser"));
    setHeaderLabel(tr("Objects"));
    setRootIsDecorated(true);
}

} // namespace marlix
