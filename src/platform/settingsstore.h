#pragma once

#include <QString>
#include <memory>

class QSettings;

// The per-user settings store, with the operations of a registry handle:
// every use opens a fresh handle and closes it when the object goes away.
// Keys are absolute paths such as "\software\Tremanova\Vendrax\form". On
// Windows they live in the registry of the current user; elsewhere in the
// INI file Tremanova/Vendrax.conf of the user's configuration folder, one
// group per key below the program key.
class SettingsStore {
public:
    enum class Access { Read, Write };

    explicit SettingsStore(Access access);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens a key by absolute path. Without create it is false for a missing
    // key; with create a missing key is made (false only when the store
    // cannot be written).
    bool OpenKey(const QString& path, bool canCreate);
    void CloseKey();
    bool KeyExists(const QString& path) const;

    // A missing value or one that is not a number raises SettingsValueError.
    int ReadInteger(const QString& name) const;
    bool ReadBool(const QString& name) const;
    // A missing value reads as "".
    QString ReadString(const QString& name) const;

    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteString(const QString& name, const QString& value);

    // Removes the key with all its subkeys and values; a missing key is no error.
    void DeleteKey(const QString& path);

    // Flushes the writes; false when they could not be stored.
    bool Sync();

    // Points every later handle at this INI file (tests); empty restores the default.
    static void UseFile(const QString& iniPath);
    static QString FilePath();

private:
    QString groupOf(const QString& path) const;
    QString valueKey(const QString& name) const;

    Access access_;
    std::unique_ptr<QSettings> settings_;
    QString openGroup_;
    bool keyOpen_ = false;
};

// The program key and its five subkeys.
namespace RegistryKeys {
inline const QString Program = QStringLiteral("\\software\\Tremanova\\Vendrax");
inline const QString Form = QStringLiteral("\\software\\Tremanova\\Vendrax\\form");
inline const QString Dir = QStringLiteral("\\software\\Tremanova\\Vendrax\\dir");
inline const QString Nast = QStringLiteral("\\software\\Tremanova\\Vendrax\\nast");
inline const QString Akt = QStringLiteral("\\software\\Tremanova\\Vendrax\\akt");
inline const QString Prog = QStringLiteral("\\software\\Tremanova\\Vendrax\\prog");
} // namespace RegistryKeys
