#include "app/commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/servercommands.h"
#include "session/testcode.h"
#include "themes/verdeler.h"

namespace kav {

namespace {

struct OptionText {
    QStringList names;
    QString valueName;  // empty: a flag
    QString description;
};

// Every option with its Dutch description; the parser and the help text both come from here.
const QList<OptionText>& Options()
{
    static const QList<OptionText> options = {
        {{QStringLiteral("screen")}, QStringLiteral("BxH"),
         QStringLiteral("leg de vensters uit voor een scherm van B x H beeldpunten (bijvoorbeeld 1024x768)")},
        {{QStringLiteral("seed")}, QStringLiteral("N"),
         QStringLiteral("vaste beginwaarde van het toeval: dezelfde opgaven komen terug (0 t/m 4294967295)")},
        {{QStringLiteral("items")}, QStringLiteral("THEMA'S"),
         QStringLiteral("geen venster: maak opgaven van deze thema's (bijvoorbeeld 21,22 of 21-28) en schrijf ze als JSON")},
        {{QStringLiteral("level")}, QStringLiteral("L"), QStringLiteral("bij --items: het niveau 1, 2 of 3 (standaard 1)")},
        {{QStringLiteral("count")}, QStringLiteral("N"), QStringLiteral("bij --items: het aantal opgaven (standaard 1)")},
        {{QStringLiteral("practice")}, QString(), QStringLiteral("bij --items: als bij het oefenen in plaats van een test")},
        {{QStringLiteral("wrong")}, QString(),
         QStringLiteral("bij --items: beantwoord elke opgave twee keer fout en schrijf alle teksten van het hele verloop")},
        {{QStringLiteral("speech")}, QString(),
         QStringLiteral("bij --items: schrijf bij elke opgave ook de woorden die \"Lees voor\" zegt")},
        {{QStringLiteral("png")}, QStringLiteral("MAP"),
         QStringLiteral("bij --items: bewaar van elke opgave tekst en plaatje als PNG in deze map")},
        {{QStringLiteral("worksheet")}, QStringLiteral("BESTAND"),
         QStringLiteral("geen venster: schrijf een werkblad als BESTAND.pdf met de opgaven van --items (zoals die "
                        "als JSON zouden komen; --count hooguit 40, standaard 10) of van een toetscode (--code)")},
        {{QStringLiteral("code")}, QStringLiteral("TOETSCODE"),
         QStringLiteral("bij --worksheet: de opgaven van deze toets, in dezelfde volgorde als op het scherm "
                        "(niet met --items, --level, --count of --seed)")},
        {{QStringLiteral("key")}, QString(), QStringLiteral("bij --worksheet: met de antwoorden op eigen bladzijden achteraan")},
        {{QStringLiteral("explanations")}, QString(), QStringLiteral("bij --key: met de uitgewerkte toelichting bij elk antwoord")},
        {{QStringLiteral("no-pictures")}, QString(),
         QStringLiteral("bij --worksheet: zonder plaatjes; thema's die hun plaatje nodig hebben vallen weg (niet met --code)")},
        {{QStringLiteral("reset-teacher-code")}, QString(),
         QStringLiteral("geen venster: wis de docentcode; bij het volgende bezoek aan de resultaten wordt een nieuwe gekozen")},
        {{QStringLiteral("export-results")}, QStringLiteral("BESTAND"),
         QStringLiteral("geen venster: schrijf de bewaarde resultaten naar BESTAND.csv (voor een rekenblad) of "
                        "BESTAND.pdf (een verslag per sessie, met de juiste antwoorden)")},
        {{QStringLiteral("name")}, QStringLiteral("NAAM"),
         QStringLiteral("bij --export-results: alleen de resultaten van deze leerling (hoofdletters tellen niet mee)")},
        {{QStringLiteral("per-session")}, QString(),
         QStringLiteral("bij --export-results BESTAND.csv: een cijferlijst, één regel per sessie")},
        {{QStringLiteral("setup-server")}, QStringLiteral("VERBINDING"),
         QStringLiteral("geen venster: richt de schoolserver in of werk hem bij (\"host=… dbname=… user=BEHEERDER\"; "
                        "wachtwoord uit PGPASSWORD of gevraagd) en toon de regels voor kavrin2.conf")},
        {{QStringLiteral("new-password")}, QString(), QStringLiteral("bij --setup-server: een nieuw wachtwoord voor de inleverrol")},
        {{QStringLiteral("add-teacher")}, QStringLiteral("NAAM"),
         QStringLiteral("geen venster: maak een eigen login voor een docent op de schoolserver van --server")},
        {{QStringLiteral("reset-teacher")}, QStringLiteral("NAAM"), QStringLiteral("geen venster: een nieuw wachtwoord voor die docent")},
        {{QStringLiteral("remove-teacher")}, QStringLiteral("NAAM"), QStringLiteral("geen venster: verwijder de login van die docent")},
        {{QStringLiteral("remove-results-before")}, QStringLiteral("DATUM"),
         QStringLiteral("geen venster: verwijder op de schoolserver van --server de sessies van vóór DATUM (JJJJ-MM-DD)")},
        {{QStringLiteral("server")}, QStringLiteral("VERBINDING"),
         QStringLiteral("de schoolserver als beheerder, zoals bij --setup-server")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QString(), QStringLiteral("toon deze hulp en stop")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QString(), QStringLiteral("toon de versie en stop")},
    };
    return options;
}

// The screens the windows are laid out for: from a quarter of the design size up to 8K.
constexpr QSize smallestScreen(320, 240), largestScreen(7680, 4320);

bool ParseSize(const QString& s, QSize& out)
{
    const QStringList parts = s.toLower().split(u'x');
    if (parts.size() != 2)
        return false;
    bool okw = false, okh = false;
    const int w = parts[0].toInt(&okw), h = parts[1].toInt(&okh);
    if (!okw || !okh || w < smallestScreen.width() || h < smallestScreen.height() || w > largestScreen.width() ||
        h > largestScreen.height())
        return false;
    out = QSize(w, h);
    return true;
}

std::optional<std::uint32_t> ParseSeed(const QString& v)
{
    bool ok = false;
    const qulonglong n = v.toULongLong(&ok);
    if (!ok || n > 0xFFFFFFFFull || v.startsWith(u'-') || v.startsWith(u'+'))
        return std::nullopt;
    return std::uint32_t(n);
}

bool ParseCodes(const QString& text, QList<int>& codes)
{
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList range = part.split(u'-');
        bool ok1 = false, ok2 = true;
        const int from = range[0].trimmed().toInt(&ok1);
        const int to = range.size() == 2 ? range[1].trimmed().toInt(&ok2) : from;
        if (!ok1 || !ok2 || range.size() > 2 || from < 1 || to > 40 || to < from)
            return false;
        for (int c = from; c <= to; ++c)
            codes.append(c);
    }
    return !codes.isEmpty();
}

// The parser's own error in the program's words: the first unknown option, or the option
// whose value is missing.
QString ParserError(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("onbekende optie: ") + (unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
               unknown.first();
    for (const OptionText& o : Options())
        if (!o.valueName.isEmpty() && !args.isEmpty() && args.last() == QStringLiteral("--") + o.names.last())
            return args.last() + QStringLiteral(" verwacht een waarde");
    return parser.errorText();
}

// --worksheet and what goes with it; the error in cl.error.
void ParseWorksheet(const QCommandLineParser& parser, CommandLine& cl)
{
    auto isSet = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    auto value = [&parser](const char* name) { return parser.values(QString::fromLatin1(name)).last(); };
    for (const char* other : {"export-results", "reset-teacher-code", "practice", "wrong", "png", "name", "per-session"})
        if (isSet(other)) {
            cl.error = QStringLiteral("--") + QString::fromLatin1(other) + QStringLiteral(" gaat niet samen met --worksheet");
            return;
        }
    cl.action = CommandLine::Action::Worksheet;
    WorksheetOptions& o = cl.worksheet;
    o.file = value("worksheet");
    const QFileInfo file(o.file);
    if (file.completeBaseName().isEmpty() || file.suffix().toLower() != QStringLiteral("pdf")) {
        cl.error = QStringLiteral("--worksheet verwacht een bestand dat eindigt op .pdf");
        return;
    }
    if (isSet("explanations") && !isSet("key")) {
        cl.error = QStringLiteral("--explanations hoort bij --key");
        return;
    }
    o.key = isSet("key");
    WorksheetRequest& r = o.request;
    r.explanations = isSet("explanations");
    r.pictures = !isSet("no-pictures");
    const bool items = isSet("items"), code = isSet("code");
    if (items == code) {
        cl.error = items ? QStringLiteral("--code gaat niet samen met --items") : QStringLiteral("--worksheet verwacht --items of --code");
        return;
    }
    if (code && !r.pictures) {
        cl.error = QStringLiteral("--no-pictures gaat niet samen met --code: een toets op papier heeft dezelfde "
                                  "opgaven als op het scherm, met hun plaatjes");
        return;
    }
    bool ok = true;
    r.count = 10;
    if (code) {
        for (const char* other : {"level", "count", "seed"})
            if (isSet(other)) {
                // A code without a length leaves the number of items to the teacher.
                const std::optional<TestCodeSettings> t = DecodeTestCode(value("code"));
                if (qstrcmp(other, "count") == 0 && t && t->length == 0)
                    continue;
                cl.error = QStringLiteral("--") + QString::fromLatin1(other) +
                           QStringLiteral(" gaat niet samen met --code: de toetscode bepaalt de opgaven");
                return;
            }
        r.test = DecodeTestCode(value("code"));
        if (!r.test) {
            cl.error = QStringLiteral("de toetscode %1 bestaat niet").arg(value("code").trimmed());
            return;
        }
        r.code = NormaliseTestCode(value("code"));
        r.level = r.test->level;
        r.count = r.test->length > 0 ? r.test->length : 20;
    } else {
        if (!ParseCodes(value("items"), r.codes)) {
            cl.error = QStringLiteral("--items verwacht themanummers, bijvoorbeeld 21,22 of 21-28");
            return;
        }
        for (int c : r.codes)
            if (!HasGenerator(c)) {
                cl.error = QStringLiteral("geen opgaven voor thema ") + QString::number(c);
                return;
            }
        if (!r.pictures && ThemesWithoutPictures(r.codes).isEmpty()) {
            cl.error = QStringLiteral("zonder plaatjes blijft geen thema over: deze thema's hebben hun plaatje nodig");
            return;
        }
        if (isSet("level")) {
            r.level = value("level").toInt(&ok);
            if (!ok || r.level < 1 || r.level > 3) {
                cl.error = QStringLiteral("--level verwacht 1, 2 of 3");
                return;
            }
        }
        r.seed = cl.seed;
    }
    if (isSet("count")) {
        r.count = value("count").toInt(&ok);
        if (!ok || r.count < 1 || r.count > MaxWorksheetItems) {
            cl.error = QStringLiteral("--count verwacht bij een werkblad een aantal van 1 tot %1").arg(MaxWorksheetItems);
            return;
        }
    }
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    CommandLine cl;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionText& o : Options())
        parser.addOption(QCommandLineOption(o.names, o.description, o.valueName));
    if (!parser.parse(args)) {
        cl.error = ParserError(parser, args);
        return cl;
    }
    if (!parser.positionalArguments().isEmpty()) {
        cl.error = QStringLiteral("onbekend argument: ") + parser.positionalArguments().first();
        return cl;
    }
    // An option given twice is taken once, the last value counting (as most programs do).
    auto value = [&parser](const char* name) { return parser.values(QString::fromLatin1(name)).last(); };

    if (parser.isSet(QStringLiteral("help"))) {
        cl.action = CommandLine::Action::Help;
        return cl;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        cl.action = CommandLine::Action::Version;
        return cl;
    }
    if (parser.isSet(QStringLiteral("screen")) && !ParseSize(value("screen"), cl.screen)) {
        cl.error = QStringLiteral("--screen verwacht BREEDTExHOOGTE van %1x%2 tot %3x%4, bijvoorbeeld 1024x768")
                       .arg(smallestScreen.width())
                       .arg(smallestScreen.height())
                       .arg(largestScreen.width())
                       .arg(largestScreen.height());
        return cl;
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        cl.seed = ParseSeed(value("seed"));
        if (!cl.seed) {
            cl.error = QStringLiteral("--seed verwacht een geheel getal van 0 tot 4294967295");
            return cl;
        }
    }

    if (IsServerCommand(parser)) {
        if (ParseServerCommand(parser, &cl.server, &cl.error))
            cl.action = CommandLine::Action::Server;
        return cl;
    }
    if (parser.isSet(QStringLiteral("worksheet"))) {
        ParseWorksheet(parser, cl);
        return cl;
    }
    for (const char* name : {"code", "key", "explanations", "no-pictures"})
        if (parser.isSet(QString::fromLatin1(name))) {
            cl.error = QStringLiteral("--") + QString::fromLatin1(name) + QStringLiteral(" hoort bij --worksheet");
            return cl;
        }

    if (parser.isSet(QStringLiteral("export-results"))) {
        if (parser.isSet(QStringLiteral("items"))) {
            cl.error = QStringLiteral("--export-results en --items gaan niet samen");
            return cl;
        }
        cl.action = CommandLine::Action::Export;
        cl.exportResults.file = value("export-results");
        const QString suffix = QFileInfo(cl.exportResults.file).suffix().toLower();
        if (QFileInfo(cl.exportResults.file).completeBaseName().isEmpty() ||
            (suffix != QStringLiteral("csv") && suffix != QStringLiteral("pdf"))) {
            cl.error = QStringLiteral("--export-results verwacht een bestand dat eindigt op .csv of .pdf");
            return cl;
        }
        if (parser.isSet(QStringLiteral("name"))) {
            cl.exportResults.name = value("name").trimmed();
            if (cl.exportResults.name.isEmpty()) {
                cl.error = QStringLiteral("--name verwacht de naam van een leerling");
                return cl;
            }
        }
        cl.exportResults.perSession = parser.isSet(QStringLiteral("per-session"));
        if (cl.exportResults.perSession && cl.exportResults.pdf()) {
            cl.error = QStringLiteral("--per-session maakt een cijferlijst en verwacht een bestand dat eindigt op .csv");
            return cl;
        }
    } else {
        for (const char* name : {"name", "per-session"})
            if (parser.isSet(QString::fromLatin1(name))) {
                cl.error = QStringLiteral("--") + QString::fromLatin1(name) + QStringLiteral(" hoort bij --export-results");
                return cl;
            }
    }

    const bool dump = parser.isSet(QStringLiteral("items"));
    if (parser.isSet(QStringLiteral("reset-teacher-code"))) {
        if (dump) {
            cl.error = QStringLiteral("--reset-teacher-code gaat niet samen met --items");
            return cl;
        }
        cl.action = CommandLine::Action::ResetTeacherCode;
    }
    if (!dump) {
        for (const char* name : {"level", "count", "practice", "wrong", "speech", "png"})
            if (parser.isSet(QString::fromLatin1(name))) {
                cl.error = QStringLiteral("--") + QString::fromLatin1(name) + QStringLiteral(" hoort bij --items");
                return cl;
            }
        return cl;
    }
    cl.action = CommandLine::Action::ItemDump;
    ItemDumpOptions& o = cl.dump;
    if (!ParseCodes(value("items"), o.codes)) {
        cl.error = QStringLiteral("--items verwacht themanummers, bijvoorbeeld 21,22 of 21-28");
        return cl;
    }
    bool ok = true;
    if (parser.isSet(QStringLiteral("level"))) {
        o.level = value("level").toInt(&ok);
        if (!ok || o.level < 1 || o.level > 3) {
            cl.error = QStringLiteral("--level verwacht 1, 2 of 3");
            return cl;
        }
    }
    if (parser.isSet(QStringLiteral("count"))) {
        o.count = value("count").toInt(&ok);
        if (!ok || o.count < 1 || o.count > 1000000) {
            cl.error = QStringLiteral("--count verwacht een aantal van 1 tot 1000000");
            return cl;
        }
    }
    o.practice = parser.isSet(QStringLiteral("practice"));
    o.wrong = parser.isSet(QStringLiteral("wrong"));
    o.speech = parser.isSet(QStringLiteral("speech"));
    if (parser.isSet(QStringLiteral("png"))) {
        o.pngFolder = value("png");
        if (o.pngFolder.isEmpty()) {
            cl.error = QStringLiteral("--png verwacht een map");
            return cl;
        }
    }
    if (cl.seed) {
        o.seed = *cl.seed;
        o.seedGiven = true;
    }
    for (int c : o.codes)
        if (!HasGenerator(c)) {
            cl.error = QStringLiteral("geen opgaven voor thema ") + QString::number(c);
            return cl;
        }
    return cl;
}

QString HelpText()
{
    QString text = QStringLiteral(
        "Gebruik: kavrin2 [opties]\n"
        "Kavrin 2: oefenprogramma wiskunde voor de eerste klassen van het voortgezet onderwijs.\n\n"
        "Opties:\n");
    for (const OptionText& o : Options()) {
        QStringList names;
        for (const QString& n : o.names)
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString left = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!o.valueName.isEmpty())
            left += QLatin1Char(' ') + o.valueName;
        text += left.leftJustified(26) + QLatin1Char(' ') + o.description + QLatin1Char('\n');
    }
    text += QStringLiteral("\nVoorbeelden: kavrin2 --items 21-28 --level 2 --count 16 --seed 7 --png /tmp/opgaven\n"
                           "             kavrin2 --export-results resultaten.pdf --name Jan\n"
                           "             kavrin2 --export-results cijferlijst.csv --per-session\n"
                           "             kavrin2 --worksheet werkblad.pdf --items 21-28 --level 2 --count 20 --key\n"
                           "             kavrin2 --worksheet toets.pdf --code ABCDE-FGHJK --key --explanations\n"
                           "             kavrin2 --setup-server \"host=school.example dbname=kavrin2 user=postgres\"\n");
    return text;
}

QString OneLine(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\r\n]+\\s*"));
    return QStringLiteral("kavrin2: ") + QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

QString VersionText()
{
    return QStringLiteral("Kavrin 2 1.1\n");
}

}  // namespace kav
