#include "windows/teacherform.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QTableView>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "session/engine.h"
#include "session/testcode.h"
#include "ui/filechoice.h"
#include "windows/classoverviewform.h"
#include "windows/renameform.h"
#include "windows/resultsform.h"
#include "windows/testmakerform.h"
#include "windows/worksheetform.h"

namespace kav {

namespace {

using enum SessionTableModel::Column;

// A filter field with its label before it.
QLineEdit* filterField(QWidget* parent, const char* name, int maxLength, const QString& hint, QLabel* label)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setClearButtonEnabled(true);
    e->setMaxLength(maxLength);
    SetDesignFont(e, 10);
    SetHint(e, hint);
    label->setBuddy(e);
    return e;
}

// A count as Dutch writes it: "120.101".
QString DutchNumber(qint64 n)
{
    return QLocale(QLocale::Dutch, QLocale::Netherlands).toString(n);
}

// The most chosen sessions whose names are read to suggest one.
constexpr int ManyNamesRead = 1000;

// The design of the window, 640 x 480 like every window of the program: the table, and two
// rows of buttons above the status bar.
constexpr int TableTop = 40, ButtonHeight = 32, ButtonGap = 4, RowGap = 6, LastRowTop = 400;

}  // namespace

TDocentForm::TDocentForm(QWidget* parent) : QDialog(parent), model_(new SessionTableModel(this))
{
    setObjectName(QStringLiteral("DocentForm"));
    setWindowTitle(QStringLiteral("Kavrin 2: Resultaten"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);
    SetHint(this, QStringLiteral("|Resultaten van de leerlingen"));

    NaamLabel = MakeLabel(this, "NaamLabel", QStringLiteral("&Naam:"), 10);
    Place(NaamLabel, 8, 11, 48, 20);
    NaamFilter = filterField(this, "NaamFilter", 100,
                             QStringLiteral("Naam|Toon alleen de resultaten met deze naam (of een deel ervan)"), NaamLabel);
    Place(NaamFilter, 56, 8, 160, 26);
    CodeLabel = MakeLabel(this, "CodeLabel", QStringLiteral("&Toetscode:"), 10);
    Place(CodeLabel, 232, 11, 72, 20);
    CodeFilter = filterField(this, "CodeFilter", 20,
                             QStringLiteral("Toetscode|Toon alleen de resultaten van deze toetscode (of een deel ervan)"), CodeLabel);
    Place(CodeFilter, 304, 8, 120, 26);
    AantalLabel = MakeLabel(this, "AantalLabel", QString(), 10);
    AantalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(AantalLabel, 432, 11, 200, 20);
    MeldingLabel = MakeLabel(this, "MeldingLabel", QString(), 10);
    MeldingLabel->setWordWrap(true);
    MeldingLabel->setStyleSheet(QStringLiteral("color: rgb(192,0,0)"));
    MeldingLabel->setTextFormat(Qt::RichText);
    connect(MeldingLabel, &QLabel::linkActivated, this, &TDocentForm::dismissSetAside);
    Place(MeldingLabel, 8, TableTop, 624, 36);
    MeldingLabel->hide();

    ResultatenTabel = new QTableView(this);
    ResultatenTabel->setModel(model_);
    ResultatenTabel->setObjectName(QStringLiteral("ResultatenTabel"));
    ResultatenTabel->setAccessibleName(QStringLiteral("Resultaten"));
    // The table in a smaller size than the buttons, so its columns fit the design's width.
    SetDesignFont(ResultatenTabel, 8);
    SetDesignFont(ResultatenTabel->horizontalHeader(), 8, true);
    ResultatenTabel->setSelectionBehavior(QAbstractItemView::SelectRows);
    ResultatenTabel->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ResultatenTabel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultatenTabel->setTabKeyNavigation(false);
    ResultatenTabel->setWordWrap(false);
    ResultatenTabel->setAlternatingRowColors(true);
    ResultatenTabel->verticalHeader()->hide();
    ResultatenTabel->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ResultatenTabel->horizontalHeader()->setHighlightSections(false);
    ResultatenTabel->horizontalHeader()->setSortIndicator(DatumCol, Qt::DescendingOrder);
    ResultatenTabel->setSortingEnabled(true);  // the store sorts, by the column chosen last
    SetHint(ResultatenTabel,
            QStringLiteral("|Kies een of meer resultaten (met Ctrl of Shift); klik op een kop om te sorteren"));
    Place(ResultatenTabel, 8, TableTop, 624, LastRowTop - 8 - TableTop);  // down to the buttons: placeNotice
    ResultatenTabel->installEventFilter(this);
    connect(ResultatenTabel, &QTableView::doubleClicked, this, &TDocentForm::OpenButtonClick);
    connect(ResultatenTabel->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TDocentForm::updateButtons);
    model_->setKeep([this] { return selectedIds(); });
    connect(model_, &SessionTableModel::fetched, this, &TDocentForm::fetched);

    OpenButton = MakeButton(this, "OpenButton", QStringLiteral("&Openen"), 10, false,
                            QStringLiteral("Openen|Het gekozen resultaat bekijken, met de goede antwoorden"));
    NaamButton = MakeButton(this, "NaamButton", QStringLiteral("Naam wij&zigen…"), 10, false,
                            QStringLiteral("Naam wijzigen|De gekozen resultaten een (andere) naam geven"));
    VerwijderButton = MakeButton(this, "VerwijderButton", QStringLiteral("&Verwijderen"), 10, false,
                                 QStringLiteral("Verwijderen|De gekozen resultaten verwijderen"));
    CsvButton = MakeButton(this, "CsvButton", QStringLiteral("Exporteren als &CSV…"), 10, false,
                           QStringLiteral("Exporteren als CSV|De gekozen resultaten (of alle getoonde) bewaren voor een "
                                          "rekenblad, één regel per opgave"));
    CijferButton = MakeButton(this, "CijferButton", QStringLiteral("C&ijferlijst (CSV)…"), 10, false,
                              QStringLiteral("Cijferlijst|De gekozen resultaten (of alle getoonde) bewaren voor een "
                                             "rekenblad, één regel per sessie met het cijfer"));
    PdfButton = MakeButton(this, "PdfButton", QStringLiteral("Exporteren als &PDF…"), 10, false,
                           QStringLiteral("Exporteren als PDF|De gekozen resultaten (of alle getoonde) bewaren om af te drukken"));
    WerkbladButton = MakeButton(this, "WerkbladButton", QStringLiteral("&Werkblad maken…"), 10, false,
                                QStringLiteral("Werkblad maken|Opgaven op papier, met de antwoorden"));
    ToetsButton = MakeButton(this, "ToetsButton", QStringLiteral("Toets &maken…"), 10, false,
                             QStringLiteral("Toets maken|Een toetscode maken: de hele klas krijgt dezelfde opgaven"));
    KlasButton = MakeButton(this, "KlasButton", QStringLiteral("&Klasoverzicht…"), 10, false,
                            QStringLiteral("Klasoverzicht|De resultaten van één toetscode: per leerling elke opgave, "
                                           "met de p-waarden en grafieken"));
    connect(KlasButton, &QPushButton::clicked, this,
            [this]() { OpenClassOverview(this, store_.get(), CodeFilter->text(), selectedIds()); });
    // The rows of buttons, top to bottom: what is done with the chosen sessions, and what is
    // saved; the tests at the right. A new button takes its place in a row here.
    const QVector<ButtonRow> rows = {
        {{{OpenButton, 60}, {NaamButton, 112}, {VerwijderButton, 84}}, {{WerkbladButton, 118}, {ToetsButton, 92}}},
        {{{CsvButton, 134}, {CijferButton, 130}, {PdfButton, 134}}, {{KlasButton, 118}}},
    };
    const int rowsTop = LastRowTop - int(rows.size() - 1) * (ButtonHeight + RowGap);
    for (int r = 0; r < rows.size(); ++r)
        placeRow(rows[r], rowsTop + r * (ButtonHeight + RowGap));
    // Tab goes along the rows, left to right.
    QWidget* previous = nullptr;
    for (const ButtonRow& row : rows)
        for (const auto* side : {&row.left, &row.right})
            for (const auto& [button, width] : *side) {
                if (previous)
                    setTabOrder(previous, button);
                previous = button;
                if (side == &row.right)
                    rightButtons_.append(button);
            }

    StatusBalk = new TPanel(this);
    StatusBalk->setObjectName(QStringLiteral("StatusBalk"));
    SetDesignFont(StatusBalk, 10, false, true);
    Place(StatusBalk, 0, 440, 640, 40);
    SluitButton = MakeButton(StatusBalk, "SluitButton", QStringLiteral("&Sluiten"), 10, true,
                             QStringLiteral("Sluiten|Terug naar het hoofdmenu"));
    Place(SluitButton, 8, 5, 80, 30);

    connect(NaamFilter, &QLineEdit::textChanged, this, &TDocentForm::FilterChanged);
    connect(CodeFilter, &QLineEdit::textChanged, this, &TDocentForm::FilterChanged);
    connect(OpenButton, &QPushButton::clicked, this, &TDocentForm::OpenButtonClick);
    connect(CsvButton, &QPushButton::clicked, this, &TDocentForm::CsvButtonClick);
    connect(PdfButton, &QPushButton::clicked, this, &TDocentForm::PdfButtonClick);
    connect(VerwijderButton, &QPushButton::clicked, this, &TDocentForm::VerwijderButtonClick);
    connect(NaamButton, &QPushButton::clicked, this, &TDocentForm::NaamButtonClick);
    connect(CijferButton, &QPushButton::clicked, this, &TDocentForm::CijferButtonClick);
    connect(ToetsButton, &QPushButton::clicked, this, &TDocentForm::ToetsButtonClick);
    connect(WerkbladButton, &QPushButton::clicked, this, &TDocentForm::WerkbladButtonClick);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::reject);

    layoutForScreen(AvailableScreenSize());
}

void TDocentForm::placeRow(const ButtonRow& row, int top)
{
    int x = 8;
    for (const auto& [button, width] : row.left) {
        Place(button, x, top, width, ButtonHeight);
        x += width + ButtonGap;
    }
    x = 640 - 8;
    for (auto it = row.right.rbegin(); it != row.right.rend(); ++it) {
        x -= it->second;
        Place(it->first, x, top, it->second, ButtonHeight);
        x -= ButtonGap;
    }
}

QVector<QPushButton*> TDocentForm::buttons() const
{
    return {OpenButton, NaamButton, VerwijderButton, CsvButton, CijferButton, PdfButton, WerkbladButton, ToetsButton,
            KlasButton};
}

TDocentForm::~TDocentForm()
{
    DisconnectChildren(this);
    model_->setKeep({});
    disconnect(model_, nullptr, this, nullptr);
    model_->setListing(nullptr);  // before the store goes
}

void TDocentForm::layoutForScreen(QSize screen)
{
    scale_ = ControlScale(screen);
    ScaleControls(this, scale_);
    client_ = ClientSizeFor(this, screen);
    setFixedSize(client_);
    // What the screen has beyond the design's shape goes to the table; the buttons at the
    // right keep to the right edge, those at the bottom to the bottom.
    const int dx = client_.width() - Round(640 * scale_), dy = client_.height() - Round(480 * scale_);
    for (QWidget* w : rightButtons_)
        w->move(w->x() + dx, w->y());
    AantalLabel->move(AantalLabel->x() + dx, AantalLabel->y());
    for (QPushButton* b : buttons())
        b->move(b->x(), b->y() + dy);
    MeldingLabel->resize(MeldingLabel->width() + dx, MeldingLabel->height());
    StatusBalk->setGeometry(0, client_.height() - StatusBalk->height(), client_.width(), StatusBalk->height());
    const int captionLeft = SluitButton->x() + SluitButton->width() + TextMargin;
    StatusBalk->setCaptionMargins(captionLeft, captionLeft);
    placeNotice();
    const int rowHeight = QFontMetrics(ResultatenTabel->font()).height() * 3 / 2;
    ResultatenTabel->verticalHeader()->setDefaultSectionSize(rowHeight);
    ResultatenTabel->verticalHeader()->setMinimumSectionSize(rowHeight);
}

// The table under the notice when there is one, down to the buttons.
void TDocentForm::placeNotice()
{
    const int margin = Round(8 * scale_);
    int top = Round(TableTop * scale_);
    const QString text = noticeText();
    MeldingLabel->setVisible(!text.isEmpty());
    MeldingLabel->setText(text);
    if (!text.isEmpty()) {
        const int h = MeldingLabel->heightForWidth(MeldingLabel->width());
        MeldingLabel->setGeometry(margin, top, client_.width() - 2 * margin, qMax(h, MeldingLabel->fontMetrics().height()));
        top = MeldingLabel->geometry().bottom() + 1 + Round(4 * scale_);
    }
    int bottom = client_.height();
    for (QPushButton* b : buttons())
        bottom = qMin(bottom, b->y() - margin);
    ResultatenTabel->setGeometry(margin, top, client_.width() - 2 * margin, qMax(0, bottom - top));
    fitColumns();
}

// Every column as wide as its widest usual text; the name takes what is left.
void TDocentForm::fitColumns()
{
    const QFontMetrics body(ResultatenTabel->font());
    const QFontMetrics head(ResultatenTabel->horizontalHeader()->font());
    const QStyle* style = ResultatenTabel->style();
    // A cell's text with room at both ends; a head's title with its margins and the sort arrow.
    const int pad = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ResultatenTabel) + 1) + 4;
    const int headPad = 2 * style->pixelMetric(QStyle::PM_HeaderMargin) + style->pixelMetric(QStyle::PM_HeaderMarkSize) + pad;
    const QStringList widest = {QString(), QStringLiteral("2026-12-07 14:05"), QStringLiteral("Driehoeksgetallen (oefenen)"),
                                QStringLiteral("Starter"), QStringLiteral("ABCDE-FGHJK"),
                                QStringLiteral("1,0 (29 van 30)"), QStringLiteral("niet begonnen")};
    QHeaderView* h = ResultatenTabel->horizontalHeader();
    int used = 0;
    // An older session's longer note among the rows at hand.
    int grade = 0;
    for (const SessionSummary& s : model_->rowsAtHand())
        grade = qMax(grade, body.horizontalAdvance(GradeCellText(s)));
    for (int c = 1; c < Columns; ++c) {
        const QString title = model_->headerData(c, Qt::Horizontal).toString();
        int text = qMax(body.horizontalAdvance(widest[c]), c == CijferCol ? grade : 0);
        const int w = qMax(text + pad, head.horizontalAdvance(title) + headPad);
        h->resizeSection(c, w);
        used += w;
    }
    const int room = ResultatenTabel->width() - 2 * ResultatenTabel->frameWidth() -
                     ResultatenTabel->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ResultatenTabel);
    h->resizeSection(NaamCol, qMax(body.horizontalAdvance(QStringLiteral("Mmmmmmmmmm")), room - used));
}

void TDocentForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (ClientSizeFor(this, AvailableScreenSize()) != client_)
        layoutForScreen(AvailableScreenSize());
    move(ScreenOrigin());
    InstallHintSink([this](const QString& h) { StatusBalk->setCaption(h); });
    StatusBalk->setCaption(LongHint(Hint(this)));
    NaamFilter->setFocus();
}

void TDocentForm::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // The store is opened again when the window comes back, so the sessions finished in the
    // meantime are there too.
    model_->setListing(nullptr);
    store_.reset();
}

void TDocentForm::refresh()
{
    model_->setListing(nullptr);
    store_.reset();  // one connection at a time
    store_ = std::make_unique<ResultStore>();
    notice_ = store_->takeNotice();
    if (!store_->available() && notice_.isEmpty())
        notice_ = QStringLiteral("De resultaten kunnen niet worden gelezen.");
    setAside_ = store_->setAsideFiles();
    store_->startDailyCheck();
    const bool on = store_->available();
    for (QWidget* w : {static_cast<QWidget*>(NaamFilter), static_cast<QWidget*>(CodeFilter),
                       static_cast<QWidget*>(ResultatenTabel), static_cast<QWidget*>(NaamLabel),
                       static_cast<QWidget*>(CodeLabel)})
        w->setEnabled(on);
    placeNotice();
    model_->setListing(store_.get());
}

QString TDocentForm::noticeText() const
{
    QStringList parts;
    if (!notice_.isEmpty())
        parts << notice_.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
    // A set-aside file stays in view until the teacher has seen it.
    QStringList files;
    for (const QString& f : setAside_) {
        const QString stamp = f.section(QStringLiteral(".beschadigd-"), -1).left(15);
        const QDateTime when = QDateTime::fromString(stamp, QStringLiteral("yyyyMMdd-HHmmss"));
        files << QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(f).toHtmlEscaped(),
                                              when.isValid() ? DateText(when) : QStringLiteral("?"));
    }
    if (!files.isEmpty())
        parts << (files.size() == 1 ? QStringLiteral("Opzijgezet bestand met resultaten: ")
                                    : QStringLiteral("Opzijgezette bestanden met resultaten: ")) +
                     files.join(QStringLiteral(", ")) +
                     QStringLiteral(". Kavrin 2 gebruikt het niet meer; bewaar het of gooi het weg. "
                                    "<a href=\"verbergen\">Melding verbergen</a>");
    return parts.join(QStringLiteral("<br>"));
}

void TDocentForm::dismissSetAside()
{
    if (store_)
        store_->dismissSetAside();
    setAside_.clear();
    placeNotice();
}

void TDocentForm::FilterChanged()
{
    // Part of a code is enough: the list narrows while the code is typed.
    model_->setFilter(ResultFilter{NaamFilter->text(), CodeFilter->text(), true});
}

void TDocentForm::fillTable()
{
    model_->refetch();
}

void TDocentForm::fetched(const QVector<int>& keptRows, bool other)
{
    fitColumns();
    if (other && keptRows.isEmpty())
        ResultatenTabel->scrollToTop();
    else if (other)
        ResultatenTabel->scrollTo(model_->index(keptRows.first(), 0));
    // What was chosen and is still shown stays chosen.
    QItemSelection kept;
    for (qsizetype k = 0; k < keptRows.size();) {
        qsizetype end = k;
        while (end + 1 < keptRows.size() && keptRows[end + 1] == keptRows[end] + 1)
            ++end;
        kept.select(model_->index(keptRows[k], 0), model_->index(keptRows[end], Columns - 1));
        k = end + 1;
    }
    if (!kept.isEmpty())
        ResultatenTabel->selectionModel()->select(kept, QItemSelectionModel::Select);
    updateButtons();
}

QVector<QPair<int, int>> TDocentForm::selectedRanges() const
{
    QVector<QPair<int, int>> ranges;
    for (const QItemSelectionRange& r : ResultatenTabel->selectionModel()->selection())
        ranges.append({r.top(), r.bottom()});
    std::sort(ranges.begin(), ranges.end());
    // Ranges that overlap or touch as one.
    QVector<QPair<int, int>> merged;
    for (const auto& r : ranges) {
        if (!merged.isEmpty() && r.first <= merged.last().second + 1)
            merged.last().second = qMax(merged.last().second, r.second);
        else
            merged.append(r);
    }
    return merged;
}

int TDocentForm::selectedCount() const
{
    int n = 0;
    for (const auto& [first, last] : selectedRanges())
        n += last - first + 1;
    return n;
}

QVector<qint64> TDocentForm::selectedIds() const
{
    QVector<qint64> ids;
    for (const auto& [first, last] : selectedRanges())
        ids += model_->ids(first, last);
    return ids;
}

QVector<qint64> TDocentForm::shownIds() const
{
    return model_->rowCount() > 0 ? model_->ids(0, model_->rowCount() - 1) : QVector<qint64>();
}

void TDocentForm::updateButtons()
{
    const bool on = store_ && store_->available();
    const qsizetype chosen = selectedCount(), shown = model_->rowCount();
    OpenButton->setEnabled(on && chosen == 1);
    NaamButton->setEnabled(on && chosen > 0);
    CijferButton->setEnabled(on && shown > 0);
    CsvButton->setEnabled(on && shown > 0);
    PdfButton->setEnabled(on && shown > 0);
    VerwijderButton->setEnabled(on && chosen > 0);
    QString count = shown == 0   ? QStringLiteral("Geen resultaten")
                    : shown == 1 ? QStringLiteral("1 resultaat")
                                 : QStringLiteral("%1 resultaten").arg(DutchNumber(shown));
    if (chosen > 0)
        count += QStringLiteral(", %1 gekozen").arg(DutchNumber(chosen));
    AantalLabel->setText(on ? count : QString());
}

bool TDocentForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == ResultatenTabel && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OpenButton->isEnabled()) {
            OpenButtonClick();
            return true;
        }
        if (key == Qt::Key_Delete && VerwijderButton->isEnabled()) {
            VerwijderButtonClick();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

QString TDocentForm::suggestedFileName(const QString& base, const QString& suffix) const
{
    QString name = base;
    const QString code = NormaliseTestCode(CodeFilter->text());
    if (code.size() == TestCodeLength)
        name += QLatin1Char('-') + GroupTestCode(code);
    return name + QLatin1Char('-') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('.') + suffix;
}

void TDocentForm::OpenButtonClick()
{
    const QVector<qint64> ids = selectedIds();
    if (!store_ || ids.size() != 1)
        return;
    const std::optional<SessionResult> result = store_->load(ids.first());
    if (!result) {
        ShowMessage(QStringLiteral("Dit resultaat kon niet worden gelezen."));
        return;
    }
    ShowResultsWindow(this, *result, ResultsView::Teacher);
}

void TDocentForm::NaamButtonClick()
{
    const QVector<qint64> ids = selectedIds();
    if (!store_ || ids.isEmpty())
        return;
    // The name to begin with when the chosen sessions have one; a long choice is not read through.
    QStringList names;
    for (const auto& [first, last] : selectedRanges())
        for (int row = first; row <= last && ids.size() <= ManyNamesRead && names.size() < 2; ++row)
            if (const std::optional<SessionSummary> s = model_->summary(row); s && !names.contains(s->name))
                names << s->name;
    auto* dialog = new TNaamForm(ids.size(), names.size() == 1 ? names.first() : QString(), this);
    ShowModal(dialog, [this, dialog, ids]() {
        const QString name = dialog->result() == QDialog::Accepted ? dialog->name() : QString();
        dialog->deleteLater();
        if (name.isEmpty() || !store_)
            return;
        if (!store_->rename(ids, name))
            ShowMessage(QStringLiteral("De naam kon niet worden gewijzigd: ") +
                        FailureText(store_->lastFailure(), store_->path()) + u'.');
        fillTable();
    });
}

void TDocentForm::VerwijderButtonClick()
{
    const QVector<qint64> ids = selectedIds();
    if (!store_ || ids.isEmpty())
        return;
    if (!AskYesNo(QStringLiteral("Wil je de gekozen resultaten verwijderen?")))
        return;
    if (!store_->remove(ids))
        ShowMessage(QStringLiteral("De resultaten konden niet worden verwijderd: ") +
                    FailureText(store_->lastFailure(), store_->path()) + u'.');
    fillTable();
}

void TDocentForm::ToetsButtonClick()
{
    if (!toets_)
        toets_ = new TToetsMakenForm(this);
    ShowModal(toets_);
}

void TDocentForm::WerkbladButtonClick()
{
    if (!werkblad_)
        werkblad_ = new TWerkbladForm(this);
    ShowModal(werkblad_);
}

}  // namespace kav
