#include "shell/migration.h"

#include "platform/dialogservice.h"
#include "platform/settingsstore.h"
#include "shell/storedsettings.h"

void MigrateSettings(bool carryOver, const QString& runningVersion, const QSize& screen,
                     const QString& baseFolder)
{
    StoredFolders folders;
    DisplaySettings display = StoredSettings::DefaultDisplay(screen, baseFolder);
    {
        SettingsStore store(SettingsStore::Access::Read);
        // Reading "dir" never creates it here: creating a key only to
        // delete the whole program key a moment later would change nothing.
        folders = StoredSettings::ReadFolders(store).value_or(StoredFolders{});
        display = StoredSettings::ReadDisplay(store, display).value_or(display);
    }
    {
        SettingsStore store(SettingsStore::Access::Write);
        store.DeleteKey(RegistryKeys::Program);
    }
    if (carryOver) {
        {
            SettingsStore store(SettingsStore::Access::Write);
            StoredSettings::WriteFolders(store, folders);
            StoredSettings::WriteDisplay(store, display);
        }
        Dialogs().ShowMessageKind(QStringLiteral("Data úspěšně převedena!"), QStringLiteral("První spuštění"),
                                  DialogService::Information);
    }
    SettingsStore store(SettingsStore::Access::Write);
    StoredSettings::WriteVersion(store, runningVersion);
}
