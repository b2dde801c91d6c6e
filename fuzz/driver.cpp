// The fuzz driver for compilers without libFuzzer: replays every file of the corpus folders
// given, then, with --runs or --seconds, feeds mutations of them for a while. Before each
// input it is written to fuzz-last-input-<target>, so an input that crashes or hangs the
// target is kept for the corpus; an input that takes more than --timeout seconds of processor time
// aborts the run.
//
//   fuzz_script [--runs N] [--seconds S] [--seed S] [--timeout S] CORPUS_FOLDER_OR_FILE...
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/time.h>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>
#include <vector>

#include "fuzzing.h"

namespace {

// fuzz-last-input-<target>, so that targets run side by side keep their own.
QString lastInputFile;

void Timeout(int)
{
    const char msg[] = "fuzz driver: an input took too long; it is kept in fuzz-last-input-<target>\n";
    (void)!write(2, msg, sizeof msg - 1);
    _exit(3);
}

// The time limit of one input counts processor time, so a busy machine that holds the
// driver back is never taken for a hang; a loop that does not end still runs out of it.
void Limit(unsigned seconds)
{
    itimerval t{};
    t.it_value.tv_sec = time_t(seconds);
    setitimer(ITIMER_PROF, &t, nullptr);
}

void Run(const QByteArray& input)
{
    QFile f(lastInputFile);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(input);
        f.close();
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()), std::size_t(input.size()));
}

// Numbers and words that have found faults in players before: huge, negative, broken, empty.
const char* const interesting[] = {"0",    "-1",     "99999", "100000", "2147483648", "-2147483649", "1e9",
                                   "1/0",  "0/0",    "%1",    "%2",     "?",          "",            ",",
                                   "[end]", "[wait]", "[toets]", "[invoer]", "[pos]", "[3hoeksgetal]", "R",
                                   "True", "Black/Red", "0.000001", "-0", "\"", "\r\n", "1,5"};

QByteArray Mutate(const QByteArray& in, const std::vector<QByteArray>& corpus, std::mt19937& rng)
{
    QByteArray s = in;
    auto pick = [&rng](int n) { return n <= 0 ? 0 : int(rng() % unsigned(n)); };
    const int steps = 1 + pick(4);
    for (int k = 0; k < steps; ++k) {
        switch (pick(7)) {
        case 0:  // flip a byte
            if (!s.isEmpty())
                s[pick(int(s.size()))] = char(rng());
            break;
        case 1:  // put in an interesting word
            s.insert(pick(int(s.size()) + 1), interesting[pick(int(std::size(interesting)))]);
            break;
        case 2:  // replace the text between two commas with an interesting word
        {
            const int at = pick(int(s.size()) + 1);
            const int from = int(s.lastIndexOf(',', at > 0 ? at - 1 : 0)) + 1;
            int to = int(s.indexOf(',', from));
            if (to < 0)
                to = int(s.size());
            s.replace(from, qMax(0, to - from), interesting[pick(int(std::size(interesting)))]);
            break;
        }
        case 3:  // cut a piece out
            if (!s.isEmpty()) {
                const int at = pick(int(s.size()));
                s.remove(at, 1 + pick(qMin(64, int(s.size()) - at)));
            }
            break;
        case 4:  // repeat a piece
            if (!s.isEmpty()) {
                const int at = pick(int(s.size()));
                const QByteArray piece = s.mid(at, 1 + pick(80));
                s.insert(pick(int(s.size()) + 1), piece.repeated(1 + pick(8)));
            }
            break;
        case 5:  // splice in a piece of another input
        {
            const QByteArray& other = corpus[size_t(pick(int(corpus.size())))];
            if (!other.isEmpty()) {
                const int at = pick(int(other.size()));
                s.insert(pick(int(s.size()) + 1), other.mid(at, 1 + pick(400)));
            }
            break;
        }
        default:  // swap two lines
        {
            QList<QByteArray> lines = s.split('\n');
            if (lines.size() > 1) {
                const int a = pick(int(lines.size())), b = pick(int(lines.size()));
                std::swap(lines[a], lines[b]);
                s = lines.join('\n');
            }
            break;
        }
        }
    }
    return s.left(200000);
}

}  // namespace

int main(int argc, char** argv)
{
    long runs = 0;
    double seconds = 0;
    unsigned seed = 1;
    unsigned timeout = 20;
    std::vector<QByteArray> corpus;
    lastInputFile = QStringLiteral("fuzz-last-input-") + QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        auto next = [&]() -> QByteArray {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.constData());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--runs")
            runs = next().toLong();
        else if (a == "--seconds")
            seconds = next().toDouble();
        else if (a == "--seed")
            seed = next().toUInt();
        else if (a == "--timeout")
            timeout = next().toUInt();
        else {
            const QString path = QString::fromLocal8Bit(a);
            if (QFileInfo(path).isDir()) {
                QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
                QStringList files;
                while (it.hasNext())
                    files << it.next();
                files.sort();
                for (const QString& file : files) {
                    QFile f(file);
                    if (f.open(QIODevice::ReadOnly))
                        corpus.push_back(f.readAll());
                }
            } else {
                QFile f(path);
                if (!f.open(QIODevice::ReadOnly)) {
                    std::fprintf(stderr, "cannot read %s\n", a.constData());
                    return 2;
                }
                corpus.push_back(f.readAll());
            }
        }
    }
    if (corpus.empty())
        corpus.push_back(QByteArray());
    std::signal(SIGPROF, Timeout);

    QElapsedTimer clock;
    clock.start();
    for (const QByteArray& input : corpus) {
        Limit(timeout);
        Run(input);
    }
    Limit(0);
    std::printf("replayed %zu corpus inputs in %.1f s\n", corpus.size(), clock.elapsed() / 1000.0);

    std::mt19937 rng(seed);
    long done = 0;
    clock.restart();
    auto more = [&] {
        if (runs > 0 && done >= runs)
            return false;
        if (seconds > 0 && clock.elapsed() >= seconds * 1000)
            return false;
        return runs > 0 || seconds > 0;
    };
    while (more()) {
        const QByteArray input = Mutate(corpus[rng() % corpus.size()], corpus, rng);
        Limit(timeout);
        Run(input);
        Limit(0);
        ++done;
    }
    if (done > 0)
        std::printf("ran %ld mutated inputs in %.1f s (seed %u)\n", done, clock.elapsed() / 1000.0, seed);
    QFile::remove(lastInputFile);
    return 0;
}
