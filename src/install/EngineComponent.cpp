// The database engine component: fetches the engine's installer into its
// folder below the install folder, where the install sequence starts it.
#include "install/TFormInstal.h"

#include "install/InstallLayout.h"
#include "shell/Installer.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kEngineServerFolder = L"sterowniki/bde";
constexpr const wchar_t* kEngineInstallerName = L"setup";
constexpr const wchar_t* kEngineInstallerExtension = L"exe";
constexpr int kEngineFetched = 1;
}  // namespace

void TFormInstal::BBParadoxClick() {
    ProgressBar1.setPosition(0);
    RefreshInstallFolder();
    const auto& context = installer_.context;
    makeFolderIfMissing(context.installDir + kDriversFolder);
    const std::wstring engineFolder = context.installDir + L"\\" + context.engineSubfolder;
    makeFolderIfMissing(engineFolder);
    if (PobraniePliku(kEngineServerFolder, kEngineInstallerName, kEngineInstallerExtension, false, engineFolder))
        BBParadox.setTag(kEngineFetched);
}

void TFormInstal::CBParadoxClick() { followCheckBox(BBParadox, CBParadox); }

}  // namespace kanvel::install
