// The teacher code (docentcode) that guards the teacher's corner: chosen by the teacher on
// first use and kept in the program's settings ($XDG_CONFIG_HOME/Kavrin/Kavrin 2.conf) only as
// a salted hash: a random salt of 16 bytes and PBKDF2 with HMAC-SHA-256 over many rounds, so
// the code itself is nowhere on disk and guessing it from the file is slow.
#pragma once
#include <QByteArray>
#include <QString>

namespace kav {

inline constexpr int MinTeacherCodeLength = 4;
// The rounds a new code is hashed with; the count is kept beside the hash.
inline constexpr int TeacherCodeRounds = 100000;

// The settings file of the program (organisation "Kavrin", application "Kavrin 2"), found
// afresh on every call, so a changed XDG_CONFIG_HOME counts.
QString SettingsFilePath();

// True when a teacher code has been set (and its entry is whole).
bool hasTeacherCode();
// Keeps a new code (at least MinTeacherCodeLength characters). False, with a Dutch message in
// *error, when the code is too short or the settings can't be written.
bool setTeacherCode(const QString& code, QString* error = nullptr);
// True when the code is the one that was set; the hashes are compared in constant time.
bool checkTeacherCode(const QString& code);
// Forgets the code; the next visit to the corner asks for a new one. False, with a Dutch
// message in *error, when the settings can't be written.
bool resetTeacherCode(QString* error = nullptr);

// PBKDF2-HMAC-SHA-256 (RFC 8018) of a password and salt, one block of 32 bytes.
QByteArray Pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int rounds);

}  // namespace kav
