#include "viewer/scriptreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "draw/datafolders.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "session/engine.h"
#include "session/session.h"

namespace kav {

namespace {

struct NamedColour {
    const char* name;
    QColor colour;
};

const NamedColour colourTable[] = {
    {"Blue", QColor(0, 0, 255)},      {"Red", QColor(255, 0, 0)},      {"Black", QColor(0, 0, 0)},
    {"Yellow", QColor(255, 255, 0)},  {"Fuchsia", QColor(255, 0, 255)}, {"Purple", QColor(128, 0, 128)},
    {"Olive", QColor(128, 128, 0)},   {"Lime", QColor(0, 255, 0)},     {"Aqua", QColor(0, 255, 255)},
    {"Blank", col::BtnFace},          {"Gray", QColor(128, 128, 128)}, {"Teal", QColor(0, 128, 128)},
    {"Green", QColor(0, 128, 0)},     {"Silver", QColor(192, 192, 192)}, {"Brown", QColor(128, 0, 0)},
};

// Windows-1252 differs from Latin-1 only in 0x80 .. 0x9F; the five unused codes stay as they are.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr double largestNumber = 100000.0;

// A lesson is a few kilobytes of text: what is far larger is not a lesson.
constexpr qsizetype maxScriptBytes = 1024 * 1024;
constexpr qsizetype maxLineBytes = 4096;
// Messages quote at most this many characters of a script.
constexpr qsizetype maxQuoted = 80;

// A lesson file's bytes, or why they cannot be had.
struct LessonFile {
    bool opened = false;  // false: nothing read (problem empty: there is no such file)
    QByteArray bytes;     // all of the file, or what was read before a read error
    QString problem;      // why it cannot be read, or the read error after opening
};

QString NotARegularFile()
{
    return QStringLiteral("het is geen gewoon bestand");
}

QString TooLarge()
{
    return QStringLiteral("het is groter dan 1 MB");
}

QString SystemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("er is geen toestemming om het te lezen");
    case EISDIR:
    case ELOOP:
    case ENXIO:
    case ENODEV:
        return NotARegularFile();
    case EIO:
        return QStringLiteral("de schijf geeft een leesfout");
    default:
        return QStringLiteral("het systeem meldt \"%1\"").arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

bool Missing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// Reads a lesson whole. What it is gets checked before it is opened, following links: a FIFO
// would keep the program waiting for good, and a device such as /dev/zero never ends. It is
// opened without waiting and checked again, in case it was swapped meanwhile, and never more
// than the largest lesson is read.
LessonFile ReadLessonFile(const QString& path)
{
    LessonFile f;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (!Missing(errno))
            f.problem = SystemReason(errno);
        return f;
    }
    if (!S_ISREG(st.st_mode)) {
        f.problem = NotARegularFile();
        return f;
    }
    if (st.st_size > maxScriptBytes) {
        f.problem = TooLarge();
        return f;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (!Missing(errno))
            f.problem = SystemReason(errno);
        return f;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        f.problem = NotARegularFile();
        return f;
    }
    f.bytes.resize(maxScriptBytes + 1);
    qsizetype got = 0;
    while (got < f.bytes.size()) {
        const ssize_t n = ::read(fd, f.bytes.data() + got, size_t(f.bytes.size() - got));
        if (n > 0) {
            got += n;
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            f.problem = SystemReason(errno);
            break;
        }
    }
    ::close(fd);
    f.bytes.truncate(got);
    if (got > maxScriptBytes) {  // it grew while it was read
        f.bytes.clear();
        f.problem = TooLarge();
        return f;
    }
    f.opened = true;
    return f;
}

bool IsBlank(const QString& line)
{
    for (QChar c : line)
        if (!c.isSpace())
            return false;
    return true;
}

// Reads the fields of a line one after another. A field runs to the next comma; once the
// line has no comma left, its last field is the rest and every further field is absent
// (and keeps its previous value).
class FieldCursor {
public:
    explicit FieldCursor(const QString& rest) : s_(rest) {}

    bool more() const { return more_; }

    std::optional<QString> next()
    {
        if (!more_)
            return std::nullopt;
        const qsizetype comma = s_.indexOf(u',', pos_);
        QString field;
        if (comma < 0) {
            field = s_.mid(pos_);
            pos_ = s_.size();
            more_ = false;
        } else {
            field = s_.mid(pos_, comma - pos_);
            pos_ = comma + 1;
        }
        return field;
    }

    // F5 may stand between single quotes so that it can hold commas. The closing quote and the
    // character after it (the comma) are skipped.
    std::optional<QString> nextText()
    {
        if (!more_ || pos_ >= s_.size() || s_[pos_] != u'\'')
            return next();
        const qsizetype close = s_.indexOf(u'\'', pos_ + 1);
        if (close < 0) {  // no closing quote: the rest of the line
            const QString field = s_.mid(pos_ + 1);
            pos_ = s_.size();
            more_ = false;
            return field;
        }
        const QString field = s_.mid(pos_ + 1, close - pos_ - 1);
        more_ = close + 1 < s_.size();
        pos_ = close + 2;
        return field;
    }

    std::optional<QString> rest()
    {
        if (!more_)
            return std::nullopt;
        more_ = false;
        return pos_ < s_.size() ? s_.mid(pos_) : QString();
    }

private:
    QString s_;
    qsizetype pos_ = 0;
    bool more_ = true;
};

}  // namespace

QColor ColourByName(const QString& name)
{
    for (const NamedColour& c : colourTable)
        if (name == QLatin1String(c.name))
            return c.colour;
    return QColor(255, 255, 255);
}

QString PointToSeparator(const QString& text, QChar separator)
{
    if (separator == u'.')
        return text;
    QString t = text;
    t.replace(u'.', separator);
    return t;
}

std::optional<double> ScriptDecimal(const QString& text, QChar separator)
{
    const auto v = ParseDecimal(text.trimmed(), separator);
    if (!v || std::fabs(*v) > largestNumber)
        return std::nullopt;
    return v;
}

std::optional<int> ScriptWhole(const QString& text)
{
    return ParseWhole(text.trimmed());
}

QString ScriptPath(const QString& fileName)
{
    if (fileName.contains(u'/'))
        return fileName;
    return FindDataFile(fileName);
}

QString QuoteScriptText(const QString& text)
{
    QString shown = text;
    if (shown.size() > maxQuoted) {
        qsizetype cut = maxQuoted;
        if (shown[cut - 1].isHighSurrogate())
            --cut;  // never half a character
        shown = shown.left(cut) + QChar(0x2026);
    }
    return QLatin1Char('\'') + shown + QLatin1Char('\'');
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        s += (b >= 0x80 && b < 0xA0) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

bool ScriptReader::LeesFile(const QString& fileName)
{
    fileName_ = QFileInfo(fileName).fileName();
    const QString path = ScriptPath(fileName);
    const LessonFile file = path.isEmpty() ? LessonFile{} : ReadLessonFile(path);
    if (!file.opened) {
        // Nothing of an earlier script may play on.
        queue_.clear();
        ShowMessage(file.problem.isEmpty()
                        ? QStringLiteral("De les %1 is niet gevonden.").arg(fileName_)
                        : QStringLiteral("De les %1 kan niet worden gelezen: %2.").arg(fileName_, file.problem),
                    MessageKind::Information);
        return false;
    }
    queue_.clear();
    QByteArray bytes = file.bytes;
    if (!file.problem.isEmpty())
        bytes.truncate(bytes.lastIndexOf('\n') + 1);  // a line cut short by the error is left out
    // Lessons are Windows text; one saved by an editor as UTF-8 says so by its first bytes.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    qsizetype pos = utf8 ? 3 : 0;
    bool ended = false;
    for (int number = 1; pos < bytes.size() && !ended; ++number) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArrayView raw(bytes.constData() + pos, end - pos);
        pos = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.size() > maxLineBytes) {
            queue_.clear();
            ShowMessage(QStringLiteral("De les %1 kan niet worden gelezen: regel %2 is langer dan 4 kB.")
                            .arg(fileName_, QString::number(number)),
                        MessageKind::Information);
            return false;
        }
        const QString line = utf8 ? QString::fromUtf8(raw) : DecodeWindows1252(raw.toByteArray());
        if (IsBlank(line))
            continue;
        queue_.append(line);
        ended = line.contains(QLatin1String("[end]"));
    }
    // A read error keeps the lines read before it, as the lesson has always done.
    if (!file.problem.isEmpty() && !ended)
        ShowMessage(QStringLiteral("De les %1 kan niet helemaal worden gelezen: %2.").arg(fileName_, file.problem),
                    MessageKind::Information);
    return true;
}

void ScriptReader::LeesRegel()
{
    if (queue_.isEmpty())
        return;
    SplitLine(queue_.takeFirst());
}

void ScriptReader::SplitLine(const QString& line)
{
    current_ = line;
    const QChar sep = DecimalSeparator;
    QString rest = line;
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0) {
        F[1].clear();
    } else {
        F[1] = line.left(comma);
        rest = line.mid(comma + 1);
    }

    if (!rest.contains(u',')) {
        F[2] = rest;
    } else {
        FieldCursor c(rest);
        F[2] = *c.next();
        auto take = [&](int n, bool convert, std::optional<QString> field) {
            if (field)
                F[n] = convert ? PointToSeparator(*field, sep) : *field;
        };
        take(3, true, c.next());
        take(4, true, c.next());
        take(5, false, c.nextText());
        take(6, true, c.next());
        take(7, false, c.next());
        take(8, true, c.next());
        take(9, false, c.rest());
    }

    // Pen colour before the "/", fill colour after it; F7 keeps the fill colour's name.
    const qsizetype slash = F[7].indexOf(u'/');
    if (slash >= 0) {
        PenColour = ColourByName(F[7].left(slash));
        F[7] = F[7].mid(slash + 1);
    } else {
        PenColour = ColourByName(F[7]);
    }
}

}  // namespace kav
