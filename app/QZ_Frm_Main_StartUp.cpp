// The main window's start-up: from the settings to an open vault, placed window and published vault ID.
#include "app/QZ_Frm_Main.h"

#include "base/RegistrySettings.h"
#include "base/ProductNames.h"
#include "fileenc/EncryptedFile.h"
#include "vault/logger.h"

#include <shlobj.h>

namespace {

bool folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder exists afterwards.
bool makeFolder(const std::string& path) {
    return !path.empty() && (folderExists(path) || CreateDirectoryA(path.c_str(), nullptr));
}

// DBLoc and DBFname from the settings key; false when no existing folder is stored.
bool readStoredLocation(const settings::RegistryKey& key, std::string& loc, std::string& name) {
    const std::optional<std::string> stored = key.readString("DBLoc");
    if (!stored || !folderExists(*stored)) return false;
    loc = *stored;
    name = key.readString("DBFname").value_or(settings::DefaultVaultName);
    return true;
}

}  // namespace

std::string TFormMain::defaultVaultFolder(HKEY rootKey) {
    settings::RegistryKey key;
    if (!key.open(rootKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) return "";
    std::optional<std::string> personal = key.readString("Personal");
    if (!personal) return "";
    std::string path = personal->substr(0, 260);
    if (path.empty()) return "";
    return path + (path.back() == '\\' ? "Brimsafe" : "\\Brimsafe");
}

void TFormMain::initSession() {
    store_.initSession();
    flows_.NewVaultCreated = false;
    flows_.Modified = false;
    store_.content().currCat = settings::DefaultCurrCat;
    // Each vault keeps its own choice; the vault text read next sets it only when it hides them.
    store_.content().hidePwords = false;
    WindowStateFlag = settings::WindowNormal;
    if (SplitterMain) SplitterMain->Enabled = true;
    IdleTicks = 0;
    if (dialogs_.updateCheckDue()) dialogs_.checkForUpdate(this);
}

int TFormMain::startUp() {
    traceLog.write("Set up...");
    if (!flows_.PendingEncFile.empty() && handOff_ && handOff_(flows_.PendingEncFile)) return suEndProcess;

    traceLog.write("getting settings key");
    settings::RegistryKey key;
    if (!key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath)) return suEndProcess;

    traceLog.write("Getting install location...");
    if (std::optional<std::string> uil = key.readString("UIL")) {
        InstallLocation = *uil;
        traceLog.write(InstallLocation);
    }

    if (std::optional<std::string> ugv = key.readString("UGV")) {
        if (flows_.upgradeOldVault(*ugv) != 0) return suEndProcess;
        RegDeleteValueA(key.get(), "UGV");
    }

    std::string loc;
    std::string name = settings::DefaultVaultName;
    traceLog.write("getting location for vault");
    if (!readStoredLocation(key, loc, name)) {
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
        settings::RegistryKey again;
        name = settings::DefaultVaultName;
        if (!again.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath)) {
            loc = "./Brimsafe";
        } else if (!readStoredLocation(again, loc, name)) {
            loc = defaultVaultFolder(HKEY_CURRENT_USER);
            if (!makeFolder(loc)) loc = defaultVaultFolder(HKEY_LOCAL_MACHINE);
            if (!makeFolder(loc)) loc = "./Brimsafe";
        }
    }
    store_.setDBLoc(loc);
    store_.setDBFname(name);
    traceLog.write(loc);

    initSession();

    traceLog.write("loading the vault...");
    LoadDBResult loaded;
    while ((loaded = flows_.loadDB()) == ldAskAgain) {
    }
    if (loaded == ldFailed || runEnded_) {
        traceLog.write("Failed to load the vault");
        return suEndProcess;
    }

    traceLog.write("loaded vault, update combo box");

    const settings::StoredPlacement stored = settings::readWindowPlacement();
    const settings::WindowSettings& at = stored.values;
    int top = at.Top, left = at.Left;
    if (!stored.hasTop) {
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
        top = workHeight / 2 - at.Height / 2;
        left = workWidth / 2 - at.Width / 2;
    }
    SplitterLeft = at.Splitter;
    if (at.WindowState == settings::WindowMaximised) {
        // Maximising keeps the current bounds as the Old ones; the stored ones replace them.
        WindowStateFlag = settings::WindowNormal;
        KTransMaxButtonMouseRelease(this);
        OldTop = at.OldTop;
        OldLeft = at.OldLeft;
        OldWidth = at.OldWidth;
        OldHeight = at.OldHeight;
        OldSplitter = at.OldSplitter;
    }
    traceLog.write("closing settings key");
    key.close();

    traceLog.write("moving window");
    SetBounds(left, top, at.Width, at.Height);
    Panel2->Width = SplitterLeft;

    traceLog.write("populate form");
    fillCategoryBox();
    populateForm(false, true);

    if (flows_.NewVaultCreated) {
        store_.writeDatabase(store_.vaultFilePath());
        dialogs_.backupKeyPage(this);
        store_.clearPasswordKey();
        dialogs_.donePage(this, store_.getDBLoc());
    }

    if (!flows_.PendingEncFile.empty()) {
        const std::string plain = StripExtension(flows_.PendingEncFile).value_or(flows_.PendingEncFile);
        if (files_.decryptSingleFile(plain) == 0) {
            files_.updateTreeImages();
            files_.runFile(plain);
        }
        flows_.PendingEncFile.clear();
    }

    // loadDB holds the vault's mutex since before the password was asked; it stays.
    publishVault();
    vaultOpen_ = true;
    // A vault opened with its password (a switch while locked) shows unlocked.
    if (locked()) setUnlocked();
    return suGoOn;
}
