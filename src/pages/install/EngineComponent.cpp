// The database engine component: fetches the engine's installer into its
// folder below the install folder, where the install sequence starts it.
#include "pages/install/ServerFiles.h"
#include "pages/install/TFormInstal.h"

namespace kanvel::install {

namespace {
constexpr int kEngineFetched = 1;
}  // namespace

void TFormInstal::BBParadoxClick() {
    if (!ServerReleaseJudged()) return;
    ProgressBar1.setPosition(0);
    RefreshInstallFolder();
    const auto paths = environment_.paths();
    makeFolderIfMissing(paths.DriversFolderIn(environment_.context.installDir));
    const std::wstring engineFolder = paths.EngineFolder();
    makeFolderIfMissing(engineFolder);
    if (PobraniePliku(kEngineServerFolder, kEngineInstallerName, kEngineInstallerExtension, false, engineFolder))
        BBParadox.setTag(kEngineFetched);
}

void TFormInstal::CBParadoxClick() { BBParadox.setEnabled(rules().engineButton); }

}  // namespace kanvel::install
