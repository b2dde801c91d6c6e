// The teacher's corner's table as a model over a listing of sessions: it holds how many
// sessions match and the pages of rows that were in view, and reads the others as the table
// scrolls to them; the listing filters and sorts. A listing that counts slowly is asked in
// another thread on a connection of its own, with a wait cursor meanwhile.
#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "results/sessionlisting.h"

namespace kav {

class SessionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The score ("006 uit 003") is left to the results window: the grade beside what it stands
    // on says more, and the columns fit the width then.
    enum Column { NaamCol, DatumCol, OnderdeelCol, NiveauCol, CodeCol, CijferCol, StatusCol, Columns };
    static constexpr int IdRole = Qt::UserRole;
    static constexpr int PageSize = 100;

    explicit SessionTableModel(QObject* parent = nullptr);
    ~SessionTableModel() override;

    // The sessions of this listing (none: an empty table), filled at once. Set none before the
    // listing goes.
    void setListing(SessionListing* listing);
    void setFilter(const ResultFilter& filter);
    // What is asked for each time the table is filled anew: the sessions that stay chosen.
    void setKeep(std::function<QVector<qint64>()> keep) { keep_ = std::move(keep); }
    // Asks the listing again, after a session was renamed or removed.
    void refetch();
    // True while the listing is asked in another thread.
    bool busy() const { return pending_ > 0; }
    // The filter and order of the rows shown.
    const ResultFilter& shownFilter() const { return shownFilter_; }
    const SessionOrder& shownOrder() const { return shownOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The session in a row, read when it is not at hand; nothing when it can't be read.
    std::optional<SessionSummary> summary(int row) const;
    // The sessions' numbers of the rows first to last.
    QVector<qint64> ids(int first, int last) const;
    // The rows at hand, for the columns' widths.
    QVector<SessionSummary> rowsAtHand() const;

signals:
    // The table was filled anew; these rows (top to bottom) hold sessions that were to be kept.
    // `other`: the rows are another list now (another filter or order), not the same read again.
    void fetched(const QVector<int>& keptRows, bool other);

private:
    struct Fetch {
        ResultFilter filter;
        SessionOrder order;
        qint64 count = 0;
        QVector<SessionSummary> first;
        QHash<qint64, qint64> kept;
    };
    // The count and the first page; nothing more once `stale` says a later answer was asked for.
    static Fetch fetchFrom(const SessionRows& rows, const ResultFilter& filter, const SessionOrder& order,
                           const QVector<qint64>& keep, const std::function<bool()>& stale = {});
    void apply(const Fetch& f);
    const QVector<SessionSummary>& page(int n) const;

    SessionListing* listing_ = nullptr;
    ResultFilter filter_, shownFilter_;
    SessionOrder order_, shownOrder_;
    std::function<QVector<qint64>()> keep_;
    qint64 count_ = 0;
    mutable QHash<int, QVector<SessionSummary>> pages_;
    int generation_ = 0;
    // The last answer asked for, as the threads see it: one asked for before it is skipped.
    std::shared_ptr<std::atomic<int>> latest_ = std::make_shared<std::atomic<int>>(0);
    int pending_ = 0;
};

// The columns' texts of one session as the table shows them: the grade with what it stands on
// ("2,4 (3 van 20)"), "—" for practice in the grade and the status.
QString TopicText(const SessionSummary& s);
QString DateText(const QDateTime& t);
QString GradeCellText(const SessionSummary& s);
QString StatusCellText(const SessionSummary& s);

}  // namespace kav
