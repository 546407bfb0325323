#pragma once
// The records of the object tree: the root, the Tables, Views and Procedures folders, the tables
// and views with their columns and key names, the procedures with their parameters. A record
// and its tree item are made and dropped together; the catalog reads reach the tree only
// through CatalogTree, so they run the same with a window, with a test's tree or with none.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace marlix {

// Fixed numbers: the object browser enables its commands by them.
enum class CatalogNodeKind : int32_t {
    Root = 1,
    Table = 2, // a table or a view
    Column = 3,
    TableFolder = 4,
    ProcedureFolder = 5,
    Procedure = 6,
    Parameter = 7,
};

// The images of the tree, in the order of its image strip.
enum CatalogImage : int {
    kRootImage = 0,
    kTableImage = 1,
    kColumnImage = 2, // also the placeholder under a table
    kOpenFolderImage = 3,
    kFolderImage = 4,
    kProcedureImage = 5, // also the placeholder under a procedure
    kParameterImage = 6,
    kKeyColumnImage = 7,
};
inline constexpr int kCatalogImageCount = 8;

// The text of the child that gives an unread table or procedure its expansion button.
inline constexpr std::string_view kPlaceholderText = "Nothing";

struct CatalogNode;

// An item of the browser's tree; null is no item.
using TreeItem = void*;

// What the catalog reads do to the browser's tree.
class CatalogTree {
public:
    virtual ~CatalogTree() = default;
    // Inserts an item as the last child of `parent` (null: at the top) and returns it.
    virtual TreeItem InsertItem(TreeItem parent, const std::string& text, int image, int selectedImage) = 0;
    virtual void AttachRecord(TreeItem item, CatalogNode* record) = 0;
    virtual bool HasChildren(TreeItem item) const = 0;
    virtual TreeItem FirstChild(TreeItem item) const = 0;
    // Deletes the item and every item under it.
    virtual void DeleteItem(TreeItem item) = 0;
    // Deletes every child of the item (a tree may do it faster than one by one).
    virtual void DeleteChildItems(TreeItem item) {
        while (HasChildren(item))
            DeleteItem(FirstChild(item));
    }
    // Gives an unread table or procedure its expansion button: the placeholder child "Nothing",
    // or whatever the tree has for showing a button without children.
    virtual void AddPlaceholder(TreeItem item, int image) {
        InsertItem(item, std::string(kPlaceholderText), image, image);
    }
};

struct CatalogNode {
    CatalogNode(CatalogNodeKind k, CatalogTree* tree) : kind(k), browser(tree) {}
    virtual ~CatalogNode() = default; // never touches the tree: the owner of the items drops them
    CatalogNode(const CatalogNode&) = delete;
    CatalogNode& operator=(const CatalogNode&) = delete;

    const CatalogNodeKind kind;
    CatalogTree* browser; // null: no tree items are made
    bool loaded = false;  // the children have been read
    TreeItem item = nullptr;
};

struct CatalogTable;
struct CatalogProcedure;

struct CatalogColumn final : CatalogNode {
    CatalogColumn(CatalogTree* tree, std::string n, CatalogTable* owner, bool isKey)
        : CatalogNode(CatalogNodeKind::Column, tree), name(std::move(n)), table(owner), key(isKey) {}
    std::string name;
    CatalogTable* table;
    bool key;
};

struct CatalogTable final : CatalogNode {
    CatalogTable(CatalogTree* tree, std::string n, std::string s, std::string c)
        : CatalogNode(CatalogNodeKind::Table, tree), name(std::move(n)), schema(std::move(s)),
          catalog(std::move(c)) {}
    // "schema.name", or the name when there is no schema.
    std::string Label() const;

    std::string name;
    std::string schema;  // empty when the driver gives none
    std::string catalog; // named in the reads of drivers whose catalogs are databases; else empty
    std::vector<std::unique_ptr<CatalogColumn>> columns;
    // Byte order of the names (std::string compares its characters as unsigned).
    std::set<std::string> keys;
};

struct CatalogTableFolder final : CatalogNode {
    CatalogTableFolder(CatalogTree* tree, std::string type)
        : CatalogNode(CatalogNodeKind::TableFolder, tree), tableType(std::move(type)) {}
    // "Tables" for the folder of type "TABLE", "Views" for any other.
    const char* Label() const noexcept { return tableType == "TABLE" ? "Tables" : "Views"; }

    std::string tableType;
    std::vector<std::unique_ptr<CatalogTable>> tables;
};

struct CatalogParameter final : CatalogNode {
    CatalogParameter(CatalogTree* tree, std::string n, CatalogProcedure* owner)
        : CatalogNode(CatalogNodeKind::Parameter, tree), name(std::move(n)), procedure(owner) {}
    std::string name;
    CatalogProcedure* procedure;
};

struct CatalogProcedure final : CatalogNode {
    CatalogProcedure(CatalogTree* tree, std::string catalogProcedureName, std::string s, std::string c);
    std::string Label() const;

    std::string displayName;
    std::string catalogName; // PROCEDURE_NAME as the driver returns it
    std::string schema;
    std::string catalog;
    // Overloads share one name: this is the `overload`-th of `overloads` procedures of the folder
    // with its schema and name.
    int overload = 0;
    int overloads = 1;
    std::vector<std::unique_ptr<CatalogParameter>> parameters;
};

struct CatalogProcedureFolder final : CatalogNode {
    explicit CatalogProcedureFolder(CatalogTree* tree)
        : CatalogNode(CatalogNodeKind::ProcedureFolder, tree) {}
    std::vector<std::unique_ptr<CatalogProcedure>> procedures;
};

struct CatalogRoot final : CatalogNode {
    explicit CatalogRoot(CatalogTree* tree) : CatalogNode(CatalogNodeKind::Root, tree) {}
};

// The four records an object browser keeps for its whole life.
struct CatalogFolders {
    explicit CatalogFolders(CatalogTree* tree)
        : root(tree), tables(tree, "TABLE"), views(tree, "VIEW"), procedures(tree) {}
    CatalogRoot root;
    CatalogTableFolder tables;
    CatalogTableFolder views;
    CatalogProcedureFolder procedures;
};

// Deletes the child records with their items (and any item without a record, such as the
// placeholder) and clears the loaded flag. A table keeps its key names.
void ClearChildren(CatalogNode& node);

// The display name of a procedure: the catalog name without a version suffix of ";" and one
// digit; a longer suffix, or a name of two characters, stays.
std::string ProcedureDisplayName(std::string_view catalogName);

// The table or view called `name`: its label (schema.name) or, failing that, its name, looked up
// among the tables first, then the views; a name as SQL text writes it ("Sales"."Customer",
// `t`, [t]) is looked up without its quotes. Null when there is none.
CatalogTable* FindTable(const CatalogFolders& folders, std::string_view name);

// A name as SQL text writes it, each dot-separated part without its quotes ("", ``, []) and
// with a doubled quote inside read as one: "Sales"."Customer" is Sales.Customer.
std::string UnquotedName(std::string_view name);

} // namespace marlix
