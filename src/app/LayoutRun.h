#pragma once

#include <string>
#include <vector>

#include "app/ExitCode.h"
#include "app/RunLog.h"
#include "services/localcopy/LayoutList.h"
#include "services/localcopy/ReleaseList.h"
#include "services/system/Platform.h"
#include "services/trust/ProgramVerification.h"

namespace kanvel::app {

// /LAYOUT: a copy of the download server in a folder, in the server's own
// folders and names. When the server has a release list (signed by the
// maker), the copy is the server's tree: every file of that list, each
// checked against it before it is stored, and the list with its signature
// unchanged, so that /SOURCE judges the copy as the server is judged.
// Otherwise it is every file an installation may fetch (the editions'
// programs, the engine installer, the database tables), with a list of its
// own (services::LayoutList). A file already in the folder that matches the
// list (the release's, or an earlier copy's) is kept; any other is fetched,
// and a program is checked by its signature as the installation checks it,
// before it is stored. The list names every file of the copy, so a copy
// that failed in part is completed by the next run.
class LayoutRun {
public:
    LayoutRun(services::Platform platform, RunLog& log, std::wstring folder,
              const services::ProgramVerification& verification);

    ExitCode Execute();

private:
    // The list of an earlier copy in the folder; empty when there is none
    // or it was refused (every file is then fetched again).
    services::LayoutList earlierList();
    struct CopiedFile {
        std::wstring path;
        bool authenticate = false;
        bool program = false;
    };
    static std::vector<CopiedFile> filesToCopy(const services::ReleaseList* release);
    bool makeFoldersFor(const std::wstring& path);
    bool writeList(const services::LayoutList& list);
    bool writeReleaseList(const services::ReleaseList& release);
    bool writeFile(const std::wstring& path, const std::string& bytes);

    services::Platform platform_;
    RunLog& log_;
    std::wstring folder_;
    const services::ProgramVerification& verification_;
};

}  // namespace kanvel::app
