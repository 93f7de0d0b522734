#include "shell/storedsettings.h"

#include "platform/pixlyerror.h"
#include "platform/settingsstore.h"

#include <QDir>

namespace {

int readIntegerOr(SettingsStore& store, const QString& name, int fallback)
{
    try {
        return store.ReadInteger(name);
    } catch (const PixlyError&) {
        return fallback;
    }
}

bool readBoolOr(SettingsStore& store, const QString& name, bool fallback)
{
    try {
        return store.ReadBool(name);
    } catch (const PixlyError&) {
        return fallback;
    }
}

QString inFolder(const QString& folder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

} // namespace

namespace StoredSettings {

int ResolutionIndexForScreen(const QSize& screen)
{
    if (screen == QSize(1024, 768)) return 1;
    if (screen == QSize(800, 600)) return 2;
    return 0;
}

QSize PictureAreaFor(int rozliseni)
{
    switch (rozliseni) {
    case 0: return QSize(1280, 1024);
    case 1:
    case 3: return QSize(1024, 768);
    case 2: return QSize(800, 600);
    default: return QSize();
    }
}

DisplaySettings DefaultDisplay(const QSize& screen, const QString& startDir)
{
    DisplaySettings defaults;
    defaults.rozliseni = ResolutionIndexForScreen(screen);
    defaults.orig = inFolder(startDir, QStringLiteral("logo.jpg"));
    return defaults;
}

std::optional<DisplaySettings> ReadDisplay(SettingsStore& store, const DisplaySettings& defaults)
{
    if (!store.OpenKey(RegistryKeys::Nast, false)) return std::nullopt;
    DisplaySettings values;
    values.rozliseni = readIntegerOr(store, QStringLiteral("rozliseni"), defaults.rozliseni);
    values.nastaveni = readIntegerOr(store, QStringLiteral("nastaveni"), defaults.nastaveni);
    values.hlavni = readIntegerOr(store, QStringLiteral("hlavni"), defaults.hlavni);
    values.velka = readIntegerOr(store, QStringLiteral("velka"), defaults.velka);
    values.orig = store.ReadString(QStringLiteral("orig"));
    values.show = readBoolOr(store, QStringLiteral("show"), defaults.show);
    values.kos = readBoolOr(store, QStringLiteral("kos"), defaults.kos);
    values.otacet = readBoolOr(store, QStringLiteral("otacet"), defaults.otacet);
    values.formaty = readBoolOr(store, QStringLiteral("formaty"), defaults.formaty);
    values.barvy = readBoolOr(store, QStringLiteral("barvy"), defaults.barvy);
    values.dvojice = readBoolOr(store, QStringLiteral("dvojice"), defaults.dvojice);
    if (values.rozliseni < 0 || values.rozliseni > 3) values.rozliseni = defaults.rozliseni;
    store.CloseKey();
    return values;
}

void WriteDisplay(SettingsStore& store, const DisplaySettings& values)
{
    if (!store.OpenKey(RegistryKeys::Nast, true)) return;
    store.WriteInteger(QStringLiteral("rozliseni"), values.rozliseni);
    store.WriteInteger(QStringLiteral("nastaveni"), values.nastaveni);
    store.WriteInteger(QStringLiteral("hlavni"), values.hlavni);
    store.WriteInteger(QStringLiteral("velka"), values.velka);
    store.WriteString(QStringLiteral("orig"), values.orig);
    store.WriteBool(QStringLiteral("show"), values.show);
    store.WriteBool(QStringLiteral("kos"), values.kos);
    store.WriteBool(QStringLiteral("otacet"), values.otacet);
    store.WriteBool(QStringLiteral("formaty"), values.formaty);
    store.WriteBool(QStringLiteral("barvy"), values.barvy);
    store.WriteBool(QStringLiteral("dvojice"), values.dvojice);
    store.CloseKey();
}

std::optional<StoredFolders> ReadFolders(SettingsStore& store)
{
    if (!store.OpenKey(RegistryKeys::Dir, false)) return std::nullopt;
    StoredFolders folders;
    folders.directory2 = store.ReadString(QStringLiteral("directory2"));
    folders.directory1 = store.ReadString(QStringLiteral("directory1"));
    store.CloseKey();
    return folders;
}

void WriteFolders(SettingsStore& store, const StoredFolders& folders)
{
    if (!store.OpenKey(RegistryKeys::Dir, true)) return;
    store.WriteString(QStringLiteral("directory1"), folders.directory1);
    store.WriteString(QStringLiteral("directory2"), folders.directory2);
    store.CloseKey();
}

std::optional<QRect> ReadBounds(SettingsStore& store, const QRect& current)
{
    if (!store.OpenKey(RegistryKeys::Form, false)) return std::nullopt;
    const int top = readIntegerOr(store, QStringLiteral("top"), current.top());
    const int left = readIntegerOr(store, QStringLiteral("left"), current.left());
    const int height = readIntegerOr(store, QStringLiteral("height"), current.height());
    const int width = readIntegerOr(store, QStringLiteral("width"), current.width());
    store.CloseKey();
    return QRect(left, top, width, height);
}

void WriteBounds(SettingsStore& store, const QRect& outerBounds)
{
    if (!store.OpenKey(RegistryKeys::Form, true)) return;
    store.WriteInteger(QStringLiteral("top"), outerBounds.top());
    store.WriteInteger(QStringLiteral("left"), outerBounds.left());
    store.WriteInteger(QStringLiteral("height"), outerBounds.height());
    store.WriteInteger(QStringLiteral("width"), outerBounds.width());
    store.CloseKey();
}

bool ReadAutomaticCheck(SettingsStore& store)
{
    if (!store.OpenKey(RegistryKeys::Akt, false)) return true;
    const bool aktual = readBoolOr(store, QStringLiteral("aktual"), true);
    store.CloseKey();
    return aktual;
}

void WriteAutomaticCheck(SettingsStore& store, bool aktual)
{
    if (!store.OpenKey(RegistryKeys::Akt, true)) return;
    store.WriteBool(QStringLiteral("aktual"), aktual);
    store.CloseKey();
}

std::optional<QString> ReadVersion(SettingsStore& store)
{
    if (!store.OpenKey(RegistryKeys::Prog, false)) return std::nullopt;
    const QString verze = store.ReadString(QStringLiteral("verze"));
    store.CloseKey();
    return verze;
}

void WriteVersion(SettingsStore& store, const QString& verze)
{
    if (!store.OpenKey(RegistryKeys::Prog, true)) return;
    store.WriteString(QStringLiteral("verze"), verze);
    store.CloseKey();
}

QString CompleteDefaultPicture(const QString& orig, const QString& startDir)
{
    if (orig == QStringLiteral("logo.jpg") || orig.isEmpty())
        return inFolder(startDir, QStringLiteral("logo.jpg"));
    return orig;
}

} // namespace StoredSettings
