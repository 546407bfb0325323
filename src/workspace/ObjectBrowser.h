#pragma once
// The object browser column: the tree of the database's tables, views and procedures. Until the
// catalog is read it shows an empty tree.
#include <QTreeWidget>

namespace marlix {

class CObjectBrowser final : public QTreeWidget {
    Q_OBJECT
public:
    explicit CObjectBrowser(QWidget* parent = nullptr);
};

} // namespace marlix
