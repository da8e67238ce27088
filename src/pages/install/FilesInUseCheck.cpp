#include "pages/install/FilesInUseCheck.h"

#include "pages/notice/TFormInUse.h"

namespace kanvel::install {

std::vector<services::FileInUse> FilesInUseCheck::StillInUse(const std::vector<std::wstring>& files) {
    auto& processes = environment_.platform.processes;
    std::vector<services::FileInUse> inUse = processes.FilesInUse(files);
    if (policy_.AsksUser()) {
        while (!inUse.empty() && userRetries(inUse)) inUse = processes.FilesInUse(files);
        return inUse;
    }
    if (!inUse.empty() && policy_.ClosesApplications()) {
        std::vector<std::wstring> held;
        for (const auto& file : inUse) held.push_back(file.file);
        // Whatever Restart Manager answers, the files tell whether they are free now.
        processes.AskProgramsToClose(held);
        inUse = processes.FilesInUse(files);
    }
    return inUse;
}

bool FilesInUseCheck::userRetries(const std::vector<services::FileInUse>& inUse) {
    notice::TFormInUse dialog(environment_.application, owner_, inUse);
    environment_.application.realize(dialog);
    dialog.showModal();
    return dialog.retry();
}

}  // namespace kanvel::install
