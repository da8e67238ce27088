#include "pages/install/InstallRecorder.h"

namespace kanvel::install {

void InstallRecorder::EngineEnded(InstallReport::EngineStep step, const std::wstring& installer) {
    installation_.engine = step;
    installation_.engineInstaller = installer;
}

void InstallRecorder::FetchEnded(const std::wstring& file, const services::FetchOutcome& outcome) {
    if (outcome.failed()) installation_.failedDownloads.push_back({file, outcome.failure, outcome.message});
}

void InstallRecorder::EntryEnded(bool written, const std::wstring& key) {
    installation_.entry = written ? InstallReport::EntryStep::Written : InstallReport::EntryStep::Failed;
    installation_.entryKey = key;
}

}  // namespace kanvel::install
