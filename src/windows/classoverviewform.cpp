#include "windows/classoverviewform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>

#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/overviewpages.h"
#include "results/store.h"
#include "session/testcode.h"
#include "ui/filechoice.h"
#include "ui/ui.h"
#include "windows/chartview.h"
#include "windows/classcodeform.h"
#include "windows/progressform.h"
#include "windows/resultsform.h"

namespace kav {

namespace {

enum Column { NaamCol, CijferCol, StatusCol, TijdCol, FirstItemCol };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignCenter)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(align);
    return cell;
}

QTableWidget* Table(QWidget* parent, const char* name, const QString& hint)
{
    auto* t = new QTableWidget(parent);
    t->setObjectName(QString::fromLatin1(name));
    SetDesignFont(t, 8);
    SetDesignFont(t->horizontalHeader(), 8, true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setTabKeyNavigation(false);
    t->setWordWrap(false);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setHighlightSections(false);
    SetHint(t, hint);
    return t;
}

// The legend as coloured squares with their signs, in the label's own font.
QString LegendHtml()
{
    QString html;
    for (ItemMark m : {ItemMark::RightFirst, ItemMark::RightSecond, ItemMark::Wrong, ItemMark::NotDone}) {
        const QString sign = MarkSign(m).isEmpty() ? QStringLiteral("&nbsp;&nbsp;") : QStringLiteral("&nbsp;") + MarkSign(m) + QStringLiteral("&nbsp;");
        html += QStringLiteral("<span style=\"background-color:%1; color:%2; font-weight:bold\">&nbsp;%3&nbsp;</span>&nbsp;%4"
                               "&nbsp;&nbsp;&nbsp;&nbsp;")
                    .arg(MarkColour(m).name(), MarkTextColour(m).name(), sign, MarkName(m).toHtmlEscaped());
    }
    return html;
}

}  // namespace

TKlasoverzichtForm::TKlasoverzichtForm(const ClassOverview& overview, const ResultStore* store, QWidget* parent)
    : QDialog(parent), overview_(overview), store_(store), order_(overview.itemOrder(false))
{
    setObjectName(QStringLiteral("KlasoverzichtForm"));
    setWindowTitle(QStringLiteral("Kavrin 2: Klasoverzicht ") + GroupTestCode(overview.code));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetDesignFont(this, 10);

    TitelLabel = MakeLabel(this, "TitelLabel",
                           QStringLiteral("Klasoverzicht ") + GroupTestCode(overview.code) + QStringLiteral("   ") +
                               OverviewSubtitle(overview),
                           11, true);
    Place(TitelLabel, 8, 4, 624, 22);
    NotitieLabel = MakeLabel(this, "NotitieLabel", OverviewNotes(overview).join(u'\n'), 8);
    NotitieLabel->setWordWrap(true);

    KlasTabel = Table(this, "KlasTabel",
                      QStringLiteral("|Per leerling elke opgave; de onderste regel is de p-waarde van de opgave "
                                     "(gemiddelde score gedeeld door de maximale score)"));
    connect(KlasTabel, &QTableWidget::cellDoubleClicked, this, &TKlasoverzichtForm::VoortgangButtonClick);
    LegendaLabel = MakeLabel(this, "LegendaLabel", LegendHtml(), 8);
    LegendaLabel->setTextFormat(Qt::RichText);
    SorteerBox = new QCheckBox(QStringLiteral("Vaakst &fout eerst"), this);
    SorteerBox->setObjectName(QStringLiteral("SorteerBox"));
    SetDesignFont(SorteerBox, 9);
    SetHint(SorteerBox, QStringLiteral("Vaakst fout eerst|De opgaven die het vaakst fout waren eerst"));
    connect(SorteerBox, &QCheckBox::toggled, this, &TKlasoverzichtForm::SorteerChanged);

    CijferGrafiek = new TChartView(this);
    CijferGrafiek->setObjectName(QStringLiteral("CijferGrafiek"));
    SetDesignFont(CijferGrafiek, 8);
    CijferGrafiek->setChart(GradeChart(overview));
    ThemaGrafiek = new TChartView(this);
    ThemaGrafiek->setObjectName(QStringLiteral("ThemaGrafiek"));
    SetDesignFont(ThemaGrafiek, 8);
    ThemaGrafiek->setChart(ThemeChart(overview));
    ThemaTabel = Table(this, "ThemaTabel", QStringLiteral("|Per thema het gemiddelde van de klas en het deel dat goed was"));
    NietAfLabel = MakeLabel(this, "NietAfLabel", NotFinishedText(overview), 8);
    NietAfLabel->setWordWrap(true);
    NietAfLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    VoortgangButton = MakeButton(this, "VoortgangButton", QStringLiteral("&Voortgang…"), 10, false,
                                 QStringLiteral("Voortgang|Het percentage per onderdeel van de gekozen leerling door de tijd"));
    AfdrukButton = MakeButton(this, "AfdrukButton", QStringLiteral("&Afdrukken…"), 10, false,
                              QStringLiteral("Afdrukken|Het klasoverzicht afdrukken, met de grafieken"));
    PdfButton = MakeButton(this, "PdfButton", QStringLiteral("Opslaan als &PDF…"), 10, false,
                           QStringLiteral("Opslaan als PDF|Het klasoverzicht bewaren om af te drukken"));
    SluitButton = MakeButton(this, "SluitButton", QStringLiteral("&Sluiten"), 10, false,
                             QStringLiteral("Sluiten|Terug naar de resultaten"));
    StatusLabel = MakeLabel(this, "StatusLabel", QString(), 9);
    Place(VoortgangButton, 8, 440, 104, 32);
    Place(AfdrukButton, 116, 440, 100, 32);
    Place(PdfButton, 220, 440, 132, 32);
    Place(StatusLabel, 358, 440, 170, 32);
    Place(SluitButton, 552, 440, 80, 32);
    connect(VoortgangButton, &QPushButton::clicked, this, &TKlasoverzichtForm::VoortgangButtonClick);
    connect(AfdrukButton, &QPushButton::clicked, this, &TKlasoverzichtForm::AfdrukButtonClick);
    connect(PdfButton, &QPushButton::clicked, this, &TKlasoverzichtForm::PdfButtonClick);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::accept);
    // The rest is placed by layoutForScreen; these design places only carry the fonts' sizes.
    for (QWidget* w : {static_cast<QWidget*>(NotitieLabel), static_cast<QWidget*>(KlasTabel),
                       static_cast<QWidget*>(LegendaLabel), static_cast<QWidget*>(SorteerBox),
                       static_cast<QWidget*>(CijferGrafiek), static_cast<QWidget*>(ThemaGrafiek),
                       static_cast<QWidget*>(ThemaTabel), static_cast<QWidget*>(NietAfLabel)})
        Place(w, 8, 30, 100, 20);

    fillThemes();
    VoortgangButton->setEnabled(false);
    connect(KlasTabel->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this]() { VoortgangButton->setEnabled(store_ && !chosenName().isNull()); });
    setTabOrder(KlasTabel, SorteerBox);
    setTabOrder(SorteerBox, ThemaTabel);
    setTabOrder(ThemaTabel, VoortgangButton);
    setTabOrder(VoortgangButton, AfdrukButton);
    setTabOrder(AfdrukButton, PdfButton);
    setTabOrder(PdfButton, SluitButton);
    layoutForScreen(AvailableScreenSize());
}

TKlasoverzichtForm::~TKlasoverzichtForm()
{
    DisconnectChildren(this);
}

void TKlasoverzichtForm::fillTable()
{
    QTableWidget* t = KlasTabel;
    const int n = int(order_.size());
    t->clear();
    t->setColumnCount(FirstItemCol + n);
    t->setRowCount(int(overview_.pupils.size()) + 1);
    QStringList heads = {QStringLiteral("Naam"), QStringLiteral("Cijfer"), QStringLiteral("Status"), QStringLiteral("Tijd")};
    for (int k : order_)
        heads << QString::number(overview_.items[k].number);
    t->setHorizontalHeaderLabels(heads);
    for (int c = 0; c < n; ++c) {
        const OverviewItem& item = overview_.items[order_[c]];
        t->horizontalHeaderItem(FirstItemCol + c)->setToolTip(
            QStringLiteral("Opgave %1: %2").arg(item.number).arg(OverviewThemeText(item.themeCode, item.themeTitle)));
    }
    QFont bold = t->font();
    bold.setBold(true);
    // The first row: the p-values, in view however far the list is scrolled down.
    QTableWidgetItem* label = Cell(QStringLiteral("p-waarde"), Qt::AlignLeft | Qt::AlignVCenter);
    label->setFont(bold);
    label->setToolTip(QStringLiteral("Gemiddelde score gedeeld door de maximale score; over %1 leerlingen").arg(overview_.counted));
    t->setItem(0, NaamCol, label);
    for (int c = CijferCol; c < FirstItemCol; ++c)
        t->setItem(0, c, Cell(QString()));
    for (int c = 0; c < n; ++c) {
        const OverviewItem& item = overview_.items[order_[c]];
        QTableWidgetItem* cell = Cell(overview_.counted > 0 ? PValueText(item.pValue) : QString::fromUtf16(NotGraded));
        cell->setToolTip(QStringLiteral("Opgave %1: %2 fout, %3 niet gemaakt")
                             .arg(item.number)
                             .arg(item.count(ItemMark::Wrong))
                             .arg(item.count(ItemMark::NotDone)));
        t->setItem(0, FirstItemCol + c, cell);
    }
    for (int c = 0; c < t->columnCount(); ++c) {
        t->item(0, c)->setFlags(Qt::ItemIsEnabled);  // not a pupil: can't be chosen
        t->item(0, c)->setBackground(QColor(224, 224, 224));
    }
    for (int r = 0; r < overview_.pupils.size(); ++r) {
        const OverviewPupil& p = overview_.pupils[r];
        const int row = r + 1;
        QTableWidgetItem* name = Cell(PupilNameText(p), Qt::AlignLeft | Qt::AlignVCenter);
        if (p.sessions > 1)
            name->setToolTip(QStringLiteral("%1 keer gemaakt; de laatste voltooide poging staat erin").arg(p.sessions));
        if (p.itemsDiffer)
            name->setToolTip(QStringLiteral("Andere opgaven dan de rest van de klas: niet meegeteld in de p-waarden"));
        t->setItem(row, NaamCol, name);
        QTableWidgetItem* grade = Cell(p.begun() || p.status == SessionStatus::Completed ? p.gradeText
                                                                                        : QString::fromUtf16(NotGraded));
        grade->setFont(bold);
        t->setItem(row, CijferCol, grade);
        t->setItem(row, StatusCol, Cell(StatusName(p.status), Qt::AlignLeft | Qt::AlignVCenter));
        t->setItem(row, TijdCol, Cell(ClockText(p.seconds)));
        for (int c = 0; c < n; ++c) {
            const int k = order_[c];
            const ItemMark m = p.marks[k];
            QTableWidgetItem* cell = Cell(MarkSign(m));
            cell->setBackground(MarkColour(m));
            cell->setForeground(MarkTextColour(m));
            cell->setFont(bold);
            cell->setFlags(Qt::ItemIsEnabled);  // a chosen row keeps its colours: only the name and such light up
            cell->setToolTip(QStringLiteral("%1, opgave %2: %3 (%4 punten)")
                                 .arg(p.name, QString::number(overview_.items[k].number), MarkName(m).toLower())
                                 .arg(p.itemPoints[k]));
            t->setItem(row, FirstItemCol + c, cell);
        }
    }
}

void TKlasoverzichtForm::fillThemes()
{
    QTableWidget* t = ThemaTabel;
    t->setColumnCount(3);
    t->setHorizontalHeaderLabels({QStringLiteral("Thema"), QStringLiteral("Gemiddelde"), QStringLiteral("Goed")});
    t->setRowCount(int(overview_.themes.size()));
    for (int r = 0; r < overview_.themes.size(); ++r) {
        const OverviewTheme& th = overview_.themes[r];
        QTableWidgetItem* name = Cell(OverviewThemeText(th.themeCode, th.themeTitle), Qt::AlignLeft | Qt::AlignVCenter);
        name->setToolTip(name->text() + QStringLiteral(" (%1 opgaven)").arg(th.items));
        t->setItem(r, 0, name);
        t->setItem(r, 1, Cell(ShareText(th.average)));
        QTableWidgetItem* right = Cell(ShareText(th.rightFirst + th.rightSecond));
        right->setToolTip(QStringLiteral("%1 bij de eerste poging, %2 bij de tweede")
                              .arg(ShareText(th.rightFirst), ShareText(th.rightSecond)));
        t->setItem(r, 2, right);
    }
    t->setSelectionMode(QAbstractItemView::NoSelection);
}

void TKlasoverzichtForm::fitColumns()
{
    const QFontMetrics fm(KlasTabel->font());
    QHeaderView* h = KlasTabel->horizontalHeader();
    const QFontMetrics head(h->font());
    const int pad = fm.horizontalAdvance(u'M') / 2;
    int name = head.horizontalAdvance(QStringLiteral("p-waarde"));
    for (const OverviewPupil& p : overview_.pupils)
        name = qMax(name, fm.horizontalAdvance(PupilNameText(p)));
    h->resizeSection(NaamCol, qMin(name + 2 * pad, fm.horizontalAdvance(u'M') * 14));
    h->resizeSection(CijferCol, head.horizontalAdvance(QStringLiteral("Cijfer")) + 2 * pad);
    h->resizeSection(StatusCol, fm.horizontalAdvance(QStringLiteral("niet begonnen")) + 2 * pad);
    h->resizeSection(TijdCol, qMax(fm.horizontalAdvance(QStringLiteral("1:00:00")), head.horizontalAdvance(QStringLiteral("Tijd"))) + 2 * pad);
    // A cell's text with the room the style keeps around it.
    const int cellPad = 2 * (KlasTabel->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, KlasTabel) + 1) + 4;
    const int item = qMax(fm.horizontalAdvance(QStringLiteral("0,00")), head.horizontalAdvance(QStringLiteral("30"))) + cellPad;
    for (int c = FirstItemCol; c < KlasTabel->columnCount(); ++c)
        h->resizeSection(c, item);
    KlasTabel->verticalHeader()->setDefaultSectionSize(fm.height() + pad);

    QHeaderView* th = ThemaTabel->horizontalHeader();
    const int share = QFontMetrics(th->font()).horizontalAdvance(QStringLiteral("Gemiddelde")) + 2 * pad;
    th->resizeSection(1, share);
    th->resizeSection(2, share * 2 / 3);
    th->setSectionResizeMode(0, QHeaderView::Stretch);
    ThemaTabel->verticalHeader()->setDefaultSectionSize(fm.height() + pad);
}

void TKlasoverzichtForm::layoutForScreen(QSize screen)
{
    const double f = ScaleWindow(this, screen);
    const int cw = width(), ch = height();
    const int margin = Round(8 * f), gap = Round(6 * f);

    TitelLabel->setGeometry(margin, Round(4 * f), cw - 2 * margin, TitelLabel->height());
    int top = TitelLabel->geometry().bottom() + 1;
    NotitieLabel->setVisible(!NotitieLabel->text().isEmpty());
    if (NotitieLabel->isVisibleTo(this)) {
        NotitieLabel->setGeometry(margin, top, cw - 2 * margin, NotitieLabel->heightForWidth(cw - 2 * margin));
        top = NotitieLabel->geometry().bottom() + 1;
    }
    top += gap / 2;
    const int buttonsTop = ch - margin - SluitButton->height();
    VoortgangButton->move(margin, buttonsTop);
    AfdrukButton->move(VoortgangButton->geometry().right() + 1 + gap, buttonsTop);
    PdfButton->move(AfdrukButton->geometry().right() + 1 + gap, buttonsTop);
    SluitButton->move(cw - margin - SluitButton->width(), buttonsTop);
    const int statusLeft = PdfButton->geometry().right() + 1 + gap;
    StatusLabel->setGeometry(statusLeft, buttonsTop, SluitButton->x() - gap - statusLeft, SluitButton->height());

    // The table over half of what is left, the charts and the themes under it.
    const int room = buttonsTop - gap - top;
    const int legendHeight = qMax(LegendaLabel->sizeHint().height(), SorteerBox->sizeHint().height());
    const int tableHeight = (room - legendHeight - 2 * gap) * 11 / 20;
    KlasTabel->setGeometry(margin, top, cw - 2 * margin, tableHeight);
    const int legendTop = KlasTabel->geometry().bottom() + 1 + gap / 2;
    const int boxWidth = SorteerBox->sizeHint().width();
    SorteerBox->setGeometry(cw - margin - boxWidth, legendTop, boxWidth, legendHeight);
    LegendaLabel->setGeometry(margin, legendTop, SorteerBox->x() - gap - margin, legendHeight);
    const int lowerTop = legendTop + legendHeight + gap;
    const int lowerHeight = buttonsTop - gap - lowerTop;
    const int side = (cw - 2 * margin) * 9 / 25;
    const int chartWidth = (cw - 2 * margin - side - 2 * gap) / 2;
    CijferGrafiek->setGeometry(margin, lowerTop, chartWidth, lowerHeight);
    ThemaGrafiek->setGeometry(margin + chartWidth + gap, lowerTop, chartWidth, lowerHeight);
    const int sideLeft = cw - margin - side;
    const int notFinished = qMin(lowerHeight / 3, NietAfLabel->heightForWidth(side));
    ThemaTabel->setGeometry(sideLeft, lowerTop, side, lowerHeight - notFinished - gap / 2);
    NietAfLabel->setGeometry(sideLeft, ThemaTabel->geometry().bottom() + 1 + gap / 2, side, notFinished);
    NietAfLabel->setToolTip(NietAfLabel->text());
    fillTable();  // its bold cells in the table's font as scaled
    fitColumns();
}

void TKlasoverzichtForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!PlaceShownWindow(this, e->spontaneous(), [this](QSize screen) { layoutForScreen(screen); }))
        return;
    if (KlasTabel->rowCount() > 1 && chosenName().isNull())
        KlasTabel->setCurrentCell(1, NaamCol);  // the first pupil: Voortgang is ready
    KlasTabel->setFocus();
}

void TKlasoverzichtForm::SorteerChanged()
{
    order_ = overview_.itemOrder(SorteerBox->isChecked());
    const int row = KlasTabel->currentRow();
    const bool chosen = !chosenName().isNull();
    fillTable();
    fitColumns();
    if (chosen)
        KlasTabel->selectRow(row);
}

QString TKlasoverzichtForm::chosenName() const
{
    const int row = KlasTabel->currentRow();
    const QList<QTableWidgetItem*> chosen = KlasTabel->selectedItems();
    if (chosen.isEmpty() || row < 1 || row > overview_.pupils.size())
        return QString();
    return overview_.pupils[row - 1].name;
}

void TKlasoverzichtForm::VoortgangButtonClick()
{
    const QString name = chosenName();
    if (!store_ || name.isNull())
        return;
    ShowProgress(this, *store_, name);
}

void TKlasoverzichtForm::AfdrukButtonClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinter(this, &printer, QStringLiteral("Klasoverzicht ") + GroupTestCode(overview_.code)))
        return;
    if (!PaintClassOverview(&printer, overview_, SorteerBox->isChecked())) {
        ShowMessage(QStringLiteral("Afdrukken is niet gelukt. Kijk of de printer klaarstaat en probeer het opnieuw."));
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Naar de printer gestuurd."));
}

void TKlasoverzichtForm::PdfButtonClick()
{
    const QString suggested = QStringLiteral("klasoverzicht-") + GroupTestCode(overview_.code) + u'-' +
                              QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
    const QString path = ChooseSaveFile(this, QStringLiteral("Opslaan als PDF"), suggested, QStringLiteral("pdf"),
                                        QStringLiteral("PDF-bestanden (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteClassOverviewPdf(path, overview_, SorteerBox->isChecked(), &error)) {
        ShowMessage(error);
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Opgeslagen: ") + QDir::toNativeSeparators(path));
    StatusLabel->setToolTip(StatusLabel->text());
}

void ShowClassOverview(QWidget* parent, const ResultStore* store, const QString& code)
{
    const QString wanted = NormaliseTestCode(code);
    if (!store || !store->available() || wanted.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QVector<SessionResult> sessions;
    bool failed = false;
    for (const SessionSummary& s : store->list(ResultFilter{QString(), wanted})) {
        if (s.practice)
            continue;
        if (std::optional<SessionResult> r = store->load(s.id, false))
            sessions.append(std::move(*r));
        else
            failed = true;
    }
    const ClassOverview overview = MakeClassOverview(sessions);
    QApplication::restoreOverrideCursor();
    if (failed) {
        ShowMessage(QStringLiteral("Niet alle resultaten van deze toetscode konden worden gelezen."));
        if (sessions.isEmpty())
            return;
    }
    if (overview.pupils.isEmpty()) {
        ShowMessage(QStringLiteral("Er zijn geen resultaten met de toetscode ") + GroupTestCode(wanted) + u'.',
                    MessageKind::Information);
        return;
    }
    auto* form = new TKlasoverzichtForm(overview, store, parent);
    form->setAttribute(Qt::WA_DeleteOnClose);
    ShowModal(form);
}

void OpenClassOverview(QWidget* parent, const ResultStore* store, const QString& codeFilter, const QVector<qint64>& chosen)
{
    if (!store || !store->available()) {
        ShowMessage(QStringLiteral("De resultaten kunnen niet worden gelezen."));
        return;
    }
    const QString typed = NormaliseTestCode(codeFilter);
    if (DecodeTestCode(typed)) {
        ShowClassOverview(parent, store, typed);
        return;
    }
    // The chosen sessions' code, when they have one and the same.
    QString code;
    for (qint64 id : chosen) {
        const std::optional<SessionResult> s = store->load(id, false);
        const QString own = s ? NormaliseTestCode(s->code) : QString();
        if (own.isEmpty() || (!code.isEmpty() && own != code)) {
            code.clear();
            break;
        }
        code = own;
    }
    if (!code.isEmpty()) {
        ShowClassOverview(parent, store, code);
        return;
    }
    AskClassCode(parent, *store, typed, [parent, store](const QString& asked) { ShowClassOverview(parent, store, asked); });
}

}  // namespace kav
