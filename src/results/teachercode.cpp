#include "results/teachercode.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>

namespace kav {

namespace {

constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
// Stored round counts outside this range are not ours: such an entry counts as no code.
constexpr int FewestRounds = 1000, MostRounds = 10000000;

const QString SaltKey = QStringLiteral("Docent/codeSalt");
const QString HashKey = QStringLiteral("Docent/codeHash");
const QString RoundsKey = QStringLiteral("Docent/codeRounds");

struct StoredCode {
    QByteArray salt, hash;
    int rounds = 0;
};

// The stored entry, or nothing when there is none or it is not whole.
bool readStored(StoredCode& out)
{
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    bool ok = false;
    out.salt = QByteArray::fromBase64(s.value(SaltKey).toString().toLatin1());
    out.hash = QByteArray::fromBase64(s.value(HashKey).toString().toLatin1());
    out.rounds = s.value(RoundsKey).toInt(&ok);
    return ok && out.salt.size() == SaltBytes && out.hash.size() == HashBytes && out.rounds >= FewestRounds &&
           out.rounds <= MostRounds;
}

bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// Writes (or, with an empty salt, removes) the entry and checks that it reached the file.
bool writeStored(const StoredCode& code, QString* error, const QString& what)
{
    const QString path = SettingsFilePath();
    auto fail = [error, &what](const QString& why) {
        if (error)
            *error = what + QStringLiteral(": ") + why;
        return false;
    };
    if (code.salt.isEmpty() && !QFileInfo::exists(path))
        return true;  // nothing was ever kept
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("de map %1 kan niet worden gemaakt.").arg(QFileInfo(path).absolutePath()));
    QSettings s(path, QSettings::IniFormat);
    if (code.salt.isEmpty()) {
        s.remove(QStringLiteral("Docent"));
    } else {
        s.setValue(SaltKey, QString::fromLatin1(code.salt.toBase64()));
        s.setValue(HashKey, QString::fromLatin1(code.hash.toBase64()));
        s.setValue(RoundsKey, code.rounds);
    }
    s.sync();
    if (s.status() != QSettings::NoError || !s.isWritable()) {
        // The settings keep what could not be written in memory for the rest of the run; it
        // is taken back, so the program does not go on with a code that was never kept.
        s.remove(QStringLiteral("Docent"));
        return fail(QStringLiteral("het bestand %1 kan niet worden geschreven.").arg(path));
    }
    return true;
}

}  // namespace

QString SettingsFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Kavrin/Kavrin 2.conf");
}

QByteArray Pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int rounds)
{
    // HMAC with the key padded to the block of 64 bytes (a longer key is hashed first).
    constexpr int Block = 64;
    QByteArray key = password;
    if (key.size() > Block)
        key = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    key.append(QByteArray(Block - key.size(), '\0'));
    QByteArray inner(Block, '\0'), outer(Block, '\0');
    for (int i = 0; i < Block; ++i) {
        inner[i] = char(key[i] ^ 0x36);
        outer[i] = char(key[i] ^ 0x5c);
    }
    QCryptographicHash h(QCryptographicHash::Sha256);
    auto hmac = [&](const QByteArray& message) {
        h.reset();
        h.addData(inner);
        h.addData(message);
        const QByteArray in = h.result();
        h.reset();
        h.addData(outer);
        h.addData(in);
        return h.result();
    };
    // One block: U1 = HMAC(salt || 00 00 00 01), Un = HMAC(Un-1), the result their XOR.
    QByteArray u = hmac(salt + QByteArray("\0\0\0\1", 4));
    QByteArray result = u;
    for (int r = 1; r < rounds; ++r) {
        u = hmac(u);
        for (int i = 0; i < HashBytes; ++i)
            result[i] = char(result[i] ^ u[i]);
    }
    return result;
}

bool hasTeacherCode()
{
    StoredCode stored;
    return readStored(stored);
}

bool setTeacherCode(const QString& code, QString* error)
{
    if (code.size() < MinTeacherCodeLength) {
        if (error)
            *error = QStringLiteral("Een docentcode heeft minstens %1 tekens.").arg(MinTeacherCodeLength);
        return false;
    }
    StoredCode stored;
    stored.salt.resize(SaltBytes);
    QRandomGenerator::system()->generate(stored.salt.begin(), stored.salt.end());
    stored.rounds = TeacherCodeRounds;
    stored.hash = Pbkdf2Sha256(code.toUtf8(), stored.salt, stored.rounds);
    return writeStored(stored, error, QStringLiteral("De docentcode kon niet worden bewaard"));
}

bool checkTeacherCode(const QString& code)
{
    StoredCode stored;
    if (!readStored(stored))
        return false;
    return sameBytes(Pbkdf2Sha256(code.toUtf8(), stored.salt, stored.rounds), stored.hash);
}

bool resetTeacherCode(QString* error)
{
    return writeStored(StoredCode(), error, QStringLiteral("De docentcode kon niet worden gewist"));
}

}  // namespace kav
