// Any text in as a typed answer, for each answer kind and both decimal separators: read as the
// answer field reads it and judged as the judge does, through a recorder instead of a window.
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "fuzzing.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/session.h"

namespace {

struct Port : kav::AnswerPort {
    void OpenAnswer(const QString&, const QString&) override {}
};

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_answer: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::SetUpOnce();
    static kav::Canvas text(366, 709), picture(645, 646);
    static Port port;
    kav::SetContext(&picture, &text, &port);
    kav::ResetMeasures();
    kav::LineHeight = 24;
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).left(40);

    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        kav::DecimalSeparator = separator;
        for (int kind = 0; kind <= 2; ++kind) {
            kav::ClearBitmap(&text, kav::col::BtnFace);
            kav::SessionState& s = kav::Session();
            s = kav::SessionState{};
            s.ThemeCode = 21;
            s.AnswerKind = kind;
            s.MaxAttempts = 2;
            s.Attempt = 1;
            s.ExpectedAnswer = 55;
            s.ExpectedDecimal = 7.5;
            s.DecimalTolerance = 0.05;
            s.AnswerDecimals = 1;
            s.TextLine = 8;
            bool accepted = true;
            QString field = typed;
            if (kind == 1) {
                const auto v = kav::ParseWhole(field);
                accepted = bool(v);
                if (v)
                    s.GivenAnswer = *v;
            } else if (kind == 2) {
                field = kav::RewriteSeparator(field, separator);
                Check(field.size() == typed.size(), "the separator rewrite changed the length");
                const auto v = kav::ParseDecimal(field, separator);
                accepted = bool(v);
                if (v) {
                    Check(std::isfinite(*v), "a decimal answer that is not a finite number");
                    s.GivenDecimal = *v;
                }
            }
            if (!accepted)
                continue;  // the field shows its message and nothing else changes
            const int itemsBefore = s.ItemCount;
            kav::Judge(field);
            Check(s.ItemCount == itemsBefore + 1 || s.Attempt == 2, "the judge neither finished nor gave a second attempt");
            Check(s.Points >= 0, "negative points");
        }
    }
    return 0;
}
