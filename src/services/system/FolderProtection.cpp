#include "services/system/FolderProtection.h"

namespace kanvel::services {

namespace {
constexpr FolderAccess kSystemFull{Trustee::System, FolderRights::FullControl};
constexpr FolderAccess kAdministratorsFull{Trustee::Administrators, FolderRights::FullControl};
constexpr FolderAccess kUsersReadAndExecute{Trustee::Users, FolderRights::ReadAndExecute};
}  // namespace

FolderProtection FolderProtection::ForAllUsers() {
    return {Trustee::Administrators, {kSystemFull, kAdministratorsFull, kUsersReadAndExecute}};
}

FolderProtection FolderProtection::ForAllUsersWorkingFolder() {
    return {Trustee::Administrators, {kSystemFull, kAdministratorsFull, {Trustee::Users, FolderRights::Modify}}};
}

FolderProtection FolderProtection::ForOneUser() {
    return {Trustee::RunningAccount,
            {{Trustee::RunningAccount, FolderRights::FullControl}, kSystemFull, kAdministratorsFull, kUsersReadAndExecute}};
}

}  // namespace kanvel::services
