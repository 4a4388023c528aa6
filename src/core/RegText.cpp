#include "RegText.h"

namespace {

// A key's default value is "Default" below the key, which the Windows registry back end of
// QSettings maps to the unnamed value.
QString defaultValueKey(QStringView keyPath) {
    QString key = keyPath.toString();
    key.replace(u'\\', u'/');
    return key + QStringLiteral("/Default");
}

}  // namespace

std::unique_ptr<QSettings> openUserSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("chequeprint"),
                                       QStringLiteral("chequeprint"));
#endif
}

bool WriteRegText(QSettings& settings, QStringView keyPath, const QString& text) {
    settings.setValue(defaultValueKey(keyPath), text);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString ReadRegText(QSettings& settings, QStringView keyPath, const QString& defaultText) {
    const QString stored = settings.value(defaultValueKey(keyPath)).toString();
    return stored.isEmpty() ? defaultText : stored;
}
