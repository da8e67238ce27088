// Before "Instaluj" asks for anything: the bytes the ticked components will
// write, as far as they are known beforehand, against the free space of the
// install folder's volume. The server names a file's size only when it
// sends the file, so a run from the server counts the database tables copied
// from the installation's own pristine files; a local copy of the server
// (/SOURCE) lists every size, so such a run counts everything. Each file is
// still checked on its own when its size becomes known.
#include "pages/install/DatabaseFileSets.h"
#include "pages/install/ServerFiles.h"
#include "pages/install/TFormInstal.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::install {

namespace {
using PlannedWrite = services::ComponentDownload::PlannedWrite;

void AddKnown(std::vector<PlannedWrite>& writes, const std::wstring& localPath, std::optional<std::uint64_t> size) {
    if (size && *size > 0) writes.push_back({localPath, *size});
}
}  // namespace

bool TFormInstal::RoomForRun() {
    std::vector<PlannedWrite> writes;
    const auto paths = environment_.paths();
    const auto& context = environment_.context;
    if (CBParadox.checked() && BBParadox.tag() == 0)
        AddKnown(writes, paths.EngineInstaller(),
                 download_->PlannedSize(kEngineServerFolder, kEngineInstallerName, kEngineInstallerExtension, false,
                                        paths.EngineFolder()));
    if (CBBaza.checked()) planDatabase(writes);
    if (CBProgram.checked() && BBProgram.tag() != RGKanvel.itemIndex())
        AddKnown(writes, paths.ProgramFile(),
                 download_->PlannedSize(kProgramsServerFolder, context.programBaseName, kProgramExtension, true,
                                        context.installDir));
    const auto tooLarge = download_->CheckRoomForRun(context.installDir, writes);
    if (!tooLarge) return true;
    recorder_.FetchEnded(tooLarge->file, tooLarge->outcome);
    return false;
}

// The tables missing from the pristine folder as they will be fetched, then
// each working table the copy takes, as large as its pristine file.
void TFormInstal::planDatabase(std::vector<PlannedWrite>& writes) {
    auto& files = environment_.platform.files;
    const auto paths = environment_.paths();
    const std::wstring pristine = paths.PristineFolder();
    const std::wstring server(kTablesServerFolder);
    for (const std::wstring& name : TablesInFetchOrder())
        AddKnown(writes, services::JoinPath(pristine, name), download_->PlannedSize(server, name, L"", false, pristine));
    for (const DatabaseFileSet* set : {&kStatementSet, &kDataSet, &kConfigurationSet}) {
        const std::wstring working = paths.WorkingFolder(set->workingFolder);
        const auto tables = workingTables_.Select(*set, working, [&](const std::wstring& path) { return files.FileExists(path); });
        for (const std::wstring& name : tables.names) {
            const std::wstring source = services::JoinPath(pristine, name);
            const auto opened = files.OpenForReading(source);
            AddKnown(writes, services::JoinPath(working, name),
                     opened ? std::optional<std::uint64_t>(opened->Size())
                            : download_->PlannedSize(server, name, L"", false, pristine));
        }
    }
}

}  // namespace kanvel::install
