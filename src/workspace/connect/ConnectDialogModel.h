#pragma once
// The connect dialog without its widgets: what each server type labels, enables and shows, the
// lists and settings remembered per type in the profile's "Login Settings", and the connection
// that OK builds. The dialog shows this model and hands every click and edit to it.
#include "db/ConnectionString.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlix {

class ProfileStore;

// The dialog's widths: collapsed, and with the "Advanced" group shown.
inline constexpr int kConnectCollapsedWidth = 359;
inline constexpr int kConnectExpandedWidth = 464;

// Labels and states of the controls for the checked type and options.
struct ConnectControlStates {
    std::string serverLabel;
    std::string secondAuthenticationText; // the radio beside "&Windows authentication"
    bool authenticationEnabled = true;    // both authentication radios
    bool loginEnabled = true;             // login name and password
    bool serverEnabled = true;
    bool serverBrowseEnabled = true;
    bool useLocalEnabled = true;
    bool useLocalVisible = true;
    bool databaseEnabled = true;
    bool databaseWide = false; // over the whole row, where "Use local server" is hidden
    bool databaseBrowseVisible = false;
    bool portEnabled = false;
    bool autocommitEnabled = true;
    bool charsetRoleEnabled = false;
    bool okEnabled = true;
};

// Where the focus goes when the dialog is shown (and after the second radio is clicked).
enum class ConnectFocus { Unchanged, LoginName, Password };

// What the server box's "..." does for a type.
enum class ServerBrowse { None, SelectServer, DataSourceAdministrator, ChooseFile };

class ConnectDialogModel {
public:
    explicit ConnectDialogModel(ProfileStore& profile) : profile_(profile) {}

    // Opening: the type stored as "ConnectionType", its lists, its authentication with the
    // stored choice, then the states.
    void Open();
    // A type radio was checked: that type's lists, authentication (stored choice) and states.
    void ChooseType(ConnectionType type);
    // An authentication radio was clicked: the second one (login name and password) or
    // Windows authentication. Reloads the login name for that choice and the states.
    void ChooseAuthentication(bool userAndPassword);
    // "Use local server" was clicked.
    void SetUseLocalServer(bool on);

    // Typing and choosing in the boxes: no state changes with them.
    void SetServer(std::string text) {
        choice_.server = std::move(text);
        UpdateOk();
    }
    void SetDatabase(std::string text) {
        choice_.database = std::move(text);
        UpdateOk();
    }
    void SetUser(std::string text) { choice_.user = std::move(text); }
    void SetPassword(std::string text) { choice_.password = std::move(text); }
    void SetPort(std::string text) { choice_.port = std::move(text); }
    void SetCharset(std::string text) { choice_.charset = std::move(text); }
    void SetRole(std::string text) { choice_.role = std::move(text); }
    void SetAutocommit(bool on) { autocommit_ = on; }
    // The drivers the driver manager lists: a type whose own driver is not among them connects
    // through one of the same server that is (ChooseDriver).
    void SetInstalledDrivers(std::vector<std::string> drivers) { installed_ = std::move(drivers); }

    // OK: a new server name goes to the end of the list, the type's values are stored, and the
    // connection of the controls is built.
    ConnectionRequest Accept();

    const ConnectionChoice& Choice() const noexcept { return choice_; }
    ConnectionType Type() const noexcept { return choice_.type; }
    bool WindowsAuthentication() const noexcept { return windows_; }
    bool Autocommit() const noexcept { return autocommit_; }
    const std::vector<std::string>& Servers() const noexcept { return servers_; }
    const std::vector<std::string>& Databases() const noexcept { return databases_; }
    const ConnectControlStates& States() const noexcept { return states_; }
    ConnectFocus Focus() const noexcept;

private:
    void LoadLists();
    void LoadAuthentication(bool storedChoice);
    void ApplyStates();
    // OK needs what the type connects to: a database name (My SQL), a file path (MS Access,
    // SQLite file, and the database of Interbase/Firebird).
    void UpdateOk();
    // The profile value named prefix, type digit, name ("ServersList3Port").
    std::string Name(std::string_view prefix, std::string_view name) const;

    ProfileStore& profile_;
    ConnectionChoice choice_;
    bool windows_ = false; // "&Windows authentication" checked
    bool autocommit_ = true;
    std::vector<std::string> servers_;
    std::vector<std::string> databases_;
    std::vector<std::string> installed_;
    ConnectControlStates states_;
};

// The text of a type's radio button.
const char* TypeRadioText(ConnectionType type) noexcept;

// The names of a stored list: each piece that stands before a ";", once (ignoring case),
// appended to `into`. Empty pieces are no names.
void AddStoredItems(std::vector<std::string>& into, std::string_view stored);
// A list as stored: every item followed by ";".
std::string StoredItems(const std::vector<std::string>& items);

// What "..." of the server box does for a type, and the driver text Select Server browses with.
ServerBrowse ServerBrowseOf(ConnectionType type) noexcept;
const char* BrowseDriverText(ConnectionType type) noexcept;
// File dialog filters, as Qt writes them: the server box's file types (MS Access, SQLite file)
// and the Interbase/Firebird database box's.
const char* ServerFileFilter(ConnectionType type) noexcept;
inline constexpr const char* kFirebirdFileFilter = "Interbase/Firebird databases (*.gdb *.fdb)";

// The note under the type radios when the driver the type names is not among `installed`, with
// the one used instead where there is one;
// empty when it is, and for a data source name.
std::string DriverNotice(ConnectionType type, const std::vector<std::string>& installed);

} // namespace marlix
