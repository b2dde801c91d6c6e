#include "windows/sessiontable.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QPromise>
#include <QThreadPool>
#include <memory>

#include "session/testcode.h"

namespace kav {

namespace {

// The pages kept at hand: enough for a tall table scrolled to and fro.
constexpr int PagesAtHand = 64;

// The table's own threads: the store's background work (the daily check of a large file) never
// keeps them waiting. Finished with the application, which waits for them.
QThreadPool* fetchThreads()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(QCoreApplication::instance());
        p->setMaxThreadCount(2);
        return p;
    }();
    return pool;
}

}  // namespace

QString TopicText(const SessionSummary& s)
{
    const QString topic = TopicName(s.sessionMode);
    return s.practice ? topic + QStringLiteral(" (oefenen)") : topic;
}

QString DateText(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString GradeCellText(const SessionSummary& s)
{
    if (!s.graded())
        return QString::fromUtf16(NotGraded);
    // Short, so that the columns fit beside each other: "2,4 (3 van 20)", "10,0 (3 van ?)" when
    // the plan is unknown; the cell's tooltip has the whole note.
    if (ItemsNote(s.status, s.plannedItems, s.items).isEmpty())
        return s.gradeText();
    const QString planned = s.plannedItems > 0 ? QString::number(s.plannedItems) : QStringLiteral("?");
    return s.gradeText() + QStringLiteral(" (%1 van %2)").arg(s.items).arg(planned);
}

QString StatusCellText(const SessionSummary& s)
{
    return s.status == SessionStatus::None ? QString::fromUtf16(NotGraded) : StatusName(s.status);
}

SessionTableModel::SessionTableModel(QObject* parent) : QAbstractTableModel(parent) {}

SessionTableModel::~SessionTableModel()
{
    if (pending_ > 0)
        QGuiApplication::restoreOverrideCursor();
}

void SessionTableModel::setListing(SessionListing* listing)
{
    listing_ = listing;
    refetch();
}

void SessionTableModel::setFilter(const ResultFilter& filter)
{
    filter_ = filter;
    refetch();
}

void SessionTableModel::sort(int column, Qt::SortOrder order)
{
    static constexpr SessionColumn byColumn[Columns] = {SessionColumn::Name,  SessionColumn::Started, SessionColumn::Topic,
                                                        SessionColumn::Level, SessionColumn::Code,    SessionColumn::Grade,
                                                        SessionColumn::Status};
    if (column < 0 || column >= Columns)
        return;
    order_ = SessionOrder{byColumn[column], order == Qt::DescendingOrder};
    refetch();
}

SessionTableModel::Fetch SessionTableModel::fetchFrom(const SessionRows& rows, const ResultFilter& filter,
                                                      const SessionOrder& order, const QVector<qint64>& keep,
                                                      const std::function<bool()>& stale)
{
    Fetch f{filter, order, rows.count(filter), {}, {}};
    if (f.count > 0 && !(stale && stale())) {
        f.first = rows.rows(filter, order, 0, PageSize);
        if (!keep.isEmpty())
            f.kept = rows.positions(filter, order, keep);
    }
    f.count = qMax<qint64>(0, f.count);
    return f;
}

void SessionTableModel::refetch()
{
    const int generation = ++generation_;
    *latest_ = generation;
    const QVector<qint64> keep = keep_ && rowCount() > 0 ? keep_() : QVector<qint64>();
    if (!listing_ || !listing_->available()) {
        apply(Fetch{filter_, order_, 0, {}, {}});
        return;
    }
    if (!listing_->countsSlowly()) {
        apply(fetchFrom(*listing_, filter_, order_, keep));
        return;
    }
    // In another thread, on a connection of its own; only the last answer asked for is shown.
    auto promise = std::make_shared<QPromise<Fetch>>();
    auto* watcher = new QFutureWatcher<Fetch>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (--pending_ == 0)
            QGuiApplication::restoreOverrideCursor();
        if (generation == generation_ && watcher->future().resultCount() > 0)
            apply(watcher->result());
    });
    watcher->setFuture(promise->future());
    if (pending_++ == 0)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    promise->start();
    fetchThreads()->start(
        [promise, open = listing_->reader(), filter = filter_, order = order_, keep, latest = latest_, generation] {
            // While the teacher types, only the last state of the filter is asked for.
            auto stale = [&latest, generation] { return *latest != generation; };
            if (!stale()) {
                const std::unique_ptr<SessionRows> rows = open();
                promise->addResult(fetchFrom(*rows, filter, order, keep, stale));
            }
            promise->finish();
        });
}

void SessionTableModel::apply(const Fetch& f)
{
    const bool other = f.filter.name != shownFilter_.name || f.filter.code != shownFilter_.code ||
                       f.order.column != shownOrder_.column || f.order.descending != shownOrder_.descending;
    beginResetModel();
    shownFilter_ = f.filter;
    shownOrder_ = f.order;
    count_ = qMin<qint64>(f.count, std::numeric_limits<int>::max());
    pages_.clear();
    if (!f.first.isEmpty())
        pages_.insert(0, f.first);
    endResetModel();
    QVector<int> kept;
    for (qint64 row : f.kept)
        if (row < count_)
            kept.append(int(row));
    std::sort(kept.begin(), kept.end());
    emit fetched(kept, other);
}

const QVector<SessionSummary>& SessionTableModel::page(int n) const
{
    auto it = pages_.constFind(n);
    if (it != pages_.constEnd())
        return *it;
    if (pages_.size() >= PagesAtHand)
        pages_.clear();
    QVector<SessionSummary> rows;
    if (listing_ && listing_->available())
        rows = listing_->rows(shownFilter_, shownOrder_, qint64(n) * PageSize, PageSize);
    return *pages_.insert(n, rows);
}

std::optional<SessionSummary> SessionTableModel::summary(int row) const
{
    if (row < 0 || row >= count_)
        return std::nullopt;
    const QVector<SessionSummary>& p = page(row / PageSize);
    const int k = row % PageSize;
    if (k >= p.size())
        return std::nullopt;
    return p[k];
}

QVector<qint64> SessionTableModel::ids(int first, int last) const
{
    first = qMax(0, first);
    last = int(qMin<qint64>(last, count_ - 1));
    QVector<qint64> out;
    if (last < first)
        return out;
    // From the pages at hand when they hold them all, else from the listing at once.
    for (int row = first; row <= last; ++row) {
        auto it = pages_.constFind(row / PageSize);
        if (it == pages_.constEnd() || row % PageSize >= it->size())
            break;
        out.append((*it)[row % PageSize].id);
    }
    if (out.size() == last - first + 1 || !listing_ || !listing_->available())
        return out;
    return listing_->ids(shownFilter_, shownOrder_, first, last - first + 1);
}

QVector<SessionSummary> SessionTableModel::rowsAtHand() const
{
    QVector<SessionSummary> out;
    for (const QVector<SessionSummary>& p : pages_)
        out += p;
    return out;
}

int SessionTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(count_);
}

int SessionTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

Qt::ItemFlags SessionTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QVariant SessionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles = {QStringLiteral("Naam"),      QStringLiteral("Datum"),  QStringLiteral("Onderdeel"),
                                       QStringLiteral("Niveau"),    QStringLiteral("Toetscode"),
                                       QStringLiteral("Cijfer"),    QStringLiteral("Status")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Columns)
        return titles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant SessionTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int c = index.column();
    if (role == Qt::TextAlignmentRole)
        return c >= NiveauCol ? QVariant(int(Qt::AlignCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != IdRole)
        return {};
    const std::optional<SessionSummary> s = summary(index.row());
    if (!s)
        return {};
    if (role == IdRole)
        return s->id;
    if (role == Qt::ToolTipRole)
        return c == CijferCol ? QVariant(ItemsNote(s->status, s->plannedItems, s->items)) : QVariant();
    switch (c) {
    case NaamCol: return s->name;
    case DatumCol: return DateText(s->started);
    case OnderdeelCol: return TopicText(*s);
    case NiveauCol: return LevelName(s->level);
    case CodeCol: return s->code.isEmpty() ? QString() : GroupTestCode(s->code);
    case CijferCol: return GradeCellText(*s);
    case StatusCol: return StatusCellText(*s);
    default: return {};
    }
}

}  // namespace kav
