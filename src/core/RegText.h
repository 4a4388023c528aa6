#pragma once

#include <memory>

#include <QSettings>
#include <QString>
#include <QStringView>

// Key path of the option switches below HKEY_CURRENT_USER.
inline constexpr QStringView kOptionFlagsKey = u"CHK_F\\Parameter\\LastOne";

// The user's settings store: HKEY_CURRENT_USER itself on Windows; elsewhere the INI file
// chequeprint/chequeprint.ini in the user's config folder (~/.config on Linux).
std::unique_ptr<QSettings> openUserSettings();

// Sets the default value of the key (creating missing keys). Returns whether it was stored.
bool WriteRegText(QSettings& settings, QStringView keyPath, const QString& text);
// The default value of the key; the default text when the key is missing or its value empty.
QString ReadRegText(QSettings& settings, QStringView keyPath, const QString& defaultText);
