#pragma once

#include <vector>

namespace kanvel::services {

// Whom an entry of a folder's protection names.
enum class Trustee { RunningAccount, System, Administrators, Users };

// What an entry allows, as Windows' permission dialogs name it.
enum class FolderRights { ReadAndExecute, Modify, FullControl };

struct FolderAccess {
    Trustee trustee;
    FolderRights rights;
};

// How a folder of an installation is protected: its owner and the only
// entries its access list holds (nothing is taken from the folder above).
// Every entry also applies to each file and folder made inside, so what the
// installation writes gets the same rights without asking for them.
struct FolderProtection {
    Trustee owner = Trustee::Administrators;
    std::vector<FolderAccess> entries;

    // An installation for every user of the machine: only SYSTEM and the
    // Administrators may change it, the users read and run it.
    static FolderProtection ForAllUsers();
    // A working folder of the database in such an installation: the users
    // edit the tables in it.
    static FolderProtection ForAllUsersWorkingFolder();
    // An installation for the account that runs the installer: that account,
    // SYSTEM and the Administrators may change it, the other users read and
    // run it.
    static FolderProtection ForOneUser();
};

// What became of an existing folder the installation was to be made in.
enum class FolderAdoption {
    Protected,     // it now has the installation's protection
    Link,          // it is a link or junction (or lies behind one): not used
    ForeignOwner,  // someone else made it (neither the account nor an administrator): not used
    LinkInside,    // a link, junction or hard-linked file lies inside: not used
    Failed,        // it could not be opened or its protection not set
};

}  // namespace kanvel::services
