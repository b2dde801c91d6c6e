#include "windows/resultsform.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <algorithm>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "results/handin.h"
#include "results/pages.h"
#include "ui/ui.h"

namespace kav {

namespace {

PdfNameChooser pdfNameChooser;
PrinterChooser printerChooser;

// Where each field of the summary stands in the window's header: column and row.
struct FieldPlace {
    const char* key;
    int column, row;
};
constexpr FieldPlace FieldPlaces[] = {
    {"naam", 0, 0},  {"datum", 0, 1},  {"onderdeel", 0, 2}, {"niveau", 0, 3}, {"toetscode", 0, 4},
    {"score", 1, 0}, {"punten", 1, 1}, {"cijfer", 1, 2},    {"tijd", 1, 3},   {"status", 1, 4},
    {"eerste", 2, 0}, {"tweede", 2, 1}, {"fout", 2, 2},
};

enum Column { ColNumber, ColTheme, ColFirst, ColSecond, ColRight, ColAnswer };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(align);
    return cell;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);  // no default button: Enter presses the one with the focus
    SetDesignFont(b, 10, true);
    return b;
}

}  // namespace

void SetPdfNameChooser(PdfNameChooser chooser)
{
    pdfNameChooser = std::move(chooser);
}

void SetPrinterChooser(PrinterChooser chooser)
{
    printerChooser = std::move(chooser);
}

QString SuggestedPdfPath(const SessionResult& r)
{
    // Only what every file system takes: no slashes, no control characters.
    QString name;
    for (const QChar c : r.name.trimmed())
        name += (c.isPrint() && !QStringLiteral("/\\:*?\"<>|").contains(c)) ? c : u' ';
    name = name.simplified();
    const QDate date = r.started.isValid() ? r.started.date() : QDate::currentDate();
    QString file = QStringLiteral("Resultaten ");
    if (!name.isEmpty())
        file += name + u' ';
    file += date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
    return QDir(QDir::homePath()).filePath(file);
}

// ---- the item view ----------------------------------------------------------------

void TItemView::setImages(const QImage& text, const QImage& picture)
{
    text_ = text;
    picture_ = picture;
    update();
}

double TItemView::scale() const
{
    const int w = text_.width() + picture_.width(), h = qMax(text_.height(), picture_.height());
    if (w <= 0 || h <= 0)
        return 1;
    // As large as the view allows, but never more than twice the drawing's own size.
    return qMin(2.0, qMin(double(width()) / w, double(height()) / h));
}

QRect TItemView::textRect() const
{
    const double f = scale();
    const int w = Round((text_.width() + picture_.width()) * f);
    return QRect((width() - w) / 2, 0, Round(text_.width() * f), Round(text_.height() * f));
}

QRect TItemView::pictureRect() const
{
    const QRect t = textRect();
    const double f = scale();
    return QRect(t.right() + 1, 0, Round(picture_.width() * f), Round(picture_.height() * f));
}

void TItemView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!text_.isNull())
        p.drawImage(textRect(), text_);
    if (!picture_.isNull())
        p.drawImage(pictureRect(), picture_);
}

// ---- the window -------------------------------------------------------------------

TResultsForm::TResultsForm(const SessionResult& result, ResultsView view, QWidget* parent)
    : QDialog(parent), result_(result), view_(view)
{
    setObjectName(QStringLiteral("ResultsForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Resultaten"));
    SetDesignFont(this, 10);

    TitelLabel = new QLabel(QStringLiteral("Resultaten"), this);
    TitelLabel->setObjectName(QStringLiteral("TitelLabel"));
    SetDesignFont(TitelLabel, 16, true);
    Place(TitelLabel, 8, 4, 400, 30);

    KopPanel = new QFrame(this);
    KopPanel->setObjectName(QStringLiteral("KopPanel"));
    static_cast<QFrame*>(KopPanel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Place(KopPanel, 8, 36, 624, 96);
    auto* grid = new QGridLayout(KopPanel);
    grid->setObjectName(QStringLiteral("KopRaster"));
    fillHeader();

    ResultatenLijst = new QTableWidget(this);
    ResultatenLijst->setObjectName(QStringLiteral("ResultatenLijst"));
    SetDesignFont(ResultatenLijst, 10);
    Place(ResultatenLijst, 8, 138, 624, 290);
    fillList();
    connect(ResultatenLijst, &QTableWidget::cellClicked, this, [this](int row, int) { showItem(row); });
    ResultatenLijst->installEventFilter(this);

    AfdrukButton = Button(QStringLiteral("&Afdrukken…"), "AfdrukButton", this);
    Place(AfdrukButton, 8, 440, 130, 30);
    connect(AfdrukButton, &QPushButton::clicked, this, &TResultsForm::AfdrukButtonClick);
    PdfButton = Button(QStringLiteral("Opslaan als &PDF…"), "PdfButton", this);
    Place(PdfButton, 146, 440, 170, 30);
    connect(PdfButton, &QPushButton::clicked, this, &TResultsForm::PdfButtonClick);
    SluitButton = Button(QStringLiteral("&Sluiten"), "SluitButton", this);
    Place(SluitButton, 532, 440, 100, 30);
    connect(SluitButton, &QPushButton::clicked, this, &QDialog::accept);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    SetDesignFont(StatusLabel, 9, false, true);
    Place(StatusLabel, 324, 440, 200, 30);
    InleverLabel = new QLabel(this);
    InleverLabel->setObjectName(QStringLiteral("InleverLabel"));
    SetDesignFont(InleverLabel, 9);
    Place(InleverLabel, 8, 412, 624, 22);
    InleverLabel->hide();

    OpgavePanel = new QWidget(this);
    OpgavePanel->setObjectName(QStringLiteral("OpgavePanel"));
    OpgavePanel->setAutoFillBackground(true);
    OpgaveTitel = new QLabel(OpgavePanel);
    OpgaveTitel->setObjectName(QStringLiteral("OpgaveTitel"));
    SetDesignFont(OpgaveTitel, 11, true);
    OpgaveBeeld = new TItemView(OpgavePanel);
    OpgaveBeeld->setObjectName(QStringLiteral("OpgaveBeeld"));
    VorigeButton = Button(QStringLiteral("&Vorige"), "VorigeButton", OpgavePanel);
    connect(VorigeButton, &QPushButton::clicked, this, [this]() { showItem(shown_ - 1); });
    VolgendeButton = Button(QStringLiteral("V&olgende"), "VolgendeButton", OpgavePanel);
    connect(VolgendeButton, &QPushButton::clicked, this, [this]() { showItem(shown_ + 1); });
    TerugButton = Button(QStringLiteral("&Terug"), "TerugButton", OpgavePanel);
    connect(TerugButton, &QPushButton::clicked, this, &TResultsForm::showList);
    OpgavePanel->hide();

    for (QPushButton* b : findChildren<QPushButton*>())
        b->installEventFilter(this);
    setTabOrder(ResultatenLijst, AfdrukButton);
    setTabOrder(AfdrukButton, PdfButton);
    setTabOrder(PdfButton, SluitButton);
    layoutForScreen(AvailableScreenSize());
    ResultatenLijst->setFocus();
}

TResultsForm::~TResultsForm()
{
    DisconnectChildren(this);
}

bool TResultsForm::rightAnswersShown() const
{
    return view_ == ResultsView::Teacher || result_.code.isEmpty();
}

ReportOptions TResultsForm::reportOptions() const
{
    ReportOptions o;
    o.rightAnswers = rightAnswersShown();
    return o;
}

void TResultsForm::fillHeader()
{
    auto* grid = static_cast<QGridLayout*>(KopPanel->layout());
    QStringList summary;
    for (const SummaryField& f : SummaryFields(result_)) {
        summary << f.label + QStringLiteral(": ") + f.value + QStringLiteral(".");
        auto* label = new QLabel(f.label + QStringLiteral(": ") + f.value, KopPanel);
        label->setObjectName(QStringLiteral("Veld_") + f.key);
        label->setTextFormat(Qt::PlainText);
        SetDesignFont(label, 10, f.key == QStringLiteral("cijfer") || f.key == QStringLiteral("naam"));
        for (const FieldPlace& place : FieldPlaces)
            if (f.key == QLatin1String(place.key))
                grid->addWidget(label, place.row, place.column);
    }
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    // A screen reader reads the summary whole, the grade with it, with the window.
    KopPanel->setAccessibleName(QStringLiteral("Samenvatting"));
    KopPanel->setAccessibleDescription(summary.join(u' '));
    setAccessibleDescription(summary.join(u' '));
}

void TResultsForm::fillList()
{
    QStringList headers = {QStringLiteral("Nr."), QStringLiteral("Thema"), QStringLiteral("1e antwoord"),
                           QStringLiteral("2e antwoord"), QStringLiteral("Goed/fout")};
    if (rightAnswersShown())
        headers << QStringLiteral("Juiste antwoord");
    QTableWidget* t = ResultatenLijst;
    t->setColumnCount(int(headers.size()));
    t->setHorizontalHeaderLabels(headers);
    t->setRowCount(int(result_.items.size()));
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setTabKeyNavigation(false);  // Tab goes on to the buttons
    t->verticalHeader()->hide();
    t->setWordWrap(false);
    const Qt::Alignment centre = Qt::AlignCenter;
    for (int r = 0; r < result_.items.size(); ++r) {
        const ItemResult& i = result_.items[r];
        t->setItem(r, ColNumber, Cell(QString::number(i.number), centre));
        t->setItem(r, ColTheme, Cell(ThemeText(i)));
        t->setItem(r, ColFirst, Cell(i.firstAnswer, centre));
        t->setItem(r, ColSecond, Cell(i.secondAnswer, centre));
        QTableWidgetItem* right = Cell(RightWrongText(i), centre);
        right->setForeground(RightWrongColour(i));
        t->setItem(r, ColRight, right);
        if (rightAnswersShown())
            t->setItem(r, ColAnswer, Cell(i.rightAnswer, centre));
    }
    QHeaderView* h = t->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::ResizeToContents);
    h->setSectionResizeMode(ColTheme, QHeaderView::Stretch);
    h->setHighlightSections(false);
    if (t->rowCount() > 0)
        t->setCurrentCell(0, ColNumber);
}

void TResultsForm::layoutForScreen(QSize screen)
{
    screen_ = screen;
    const double f = ControlScale(screen);
    ScaleControls(this, f);
    const QSize client = ClientSizeFor(this, screen);
    setFixedSize(client);
    const int cw = client.width(), ch = client.height();
    const int margin = Round(8 * f), gap = Round(6 * f);

    auto* grid = static_cast<QGridLayout*>(KopPanel->layout());
    grid->setContentsMargins(margin, Round(4 * f), margin, Round(4 * f));
    grid->setHorizontalSpacing(Round(12 * f));
    grid->setVerticalSpacing(Round(2 * f));
    const int kopWidth = cw - 2 * margin;
    // The name alone can be as long as a pupil typed it: it is shortened to its column.
    if (auto* name = KopPanel->findChild<QLabel*>(QStringLiteral("Veld_naam"))) {
        const QString full = SummaryFields(result_).first().label + QStringLiteral(": ") + SummaryFields(result_).first().value;
        name->setText(name->fontMetrics().elidedText(full, Qt::ElideRight, kopWidth / 3 - Round(12 * f)));
        name->setToolTip(full);
    }
    KopPanel->setGeometry(margin, TitelLabel->geometry().bottom() + gap / 2, kopWidth, KopPanel->sizeHint().height());

    const int buttonsTop = ch - margin - SluitButton->height();
    AfdrukButton->move(margin, buttonsTop);
    PdfButton->move(AfdrukButton->geometry().right() + 1 + gap, buttonsTop);
    SluitButton->move(cw - margin - SluitButton->width(), buttonsTop);
    const int statusLeft = PdfButton->geometry().right() + 1 + gap;
    StatusLabel->setGeometry(statusLeft, buttonsTop, SluitButton->x() - gap - statusLeft, SluitButton->height());
    const int listTop = KopPanel->geometry().bottom() + 1 + gap;
    int listBottom = buttonsTop - gap;
    if (handIn_) {  // the line on the hand-in between the list and the buttons
        const int lineHeight = InleverLabel->fontMetrics().height() + gap / 2;
        listBottom -= lineHeight;
        InleverLabel->setGeometry(margin, listBottom + gap / 2, cw - 2 * margin, lineHeight);
    }
    ResultatenLijst->setGeometry(margin, listTop, cw - 2 * margin, listBottom - listTop);
    ResultatenLijst->verticalHeader()->setDefaultSectionSize(ResultatenLijst->fontMetrics().height() + Round(6 * f));
    QFont bold = ResultatenLijst->font();  // "goed" and "fout" in bold, in the list's size
    bold.setBold(true);
    for (int r = 0; r < ResultatenLijst->rowCount(); ++r)
        ResultatenLijst->item(r, ColRight)->setFont(bold);

    // The item view takes the place of the summary and the list.
    const int panelTop = KopPanel->y();
    OpgavePanel->setGeometry(0, panelTop, cw, ch - panelTop);
    const int ph = OpgavePanel->height();
    OpgaveTitel->setGeometry(margin, 0, cw - 2 * margin, OpgaveTitel->fontMetrics().height() + gap);
    const int bh = SluitButton->height(), bw = SluitButton->width(), by = ph - margin - bh;
    VorigeButton->setGeometry(margin, by, bw, bh);
    VolgendeButton->setGeometry(margin + bw + gap, by, bw, bh);
    TerugButton->setGeometry(cw - margin - bw, by, bw, bh);
    const int viewTop = OpgaveTitel->geometry().bottom() + 1 + gap / 2;
    OpgaveBeeld->setGeometry(margin, viewTop, cw - 2 * margin, by - gap - viewTop);
}

void TResultsForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    if (ClientSizeFor(this, AvailableScreenSize()) != size())
        layoutForScreen(AvailableScreenSize());  // the frame is known once the window is up
    move(ScreenOrigin());
    if (offerPdf_)
        PdfButton->setFocus();
    else if (shown_ < 0)
        ResultatenLijst->setFocus();
}

void TResultsForm::offerPdf()
{
    offerPdf_ = true;
    StatusLabel->setText(QStringLiteral("Niet bewaard: sla het op als PDF."));
}

void TResultsForm::followHandIn(HandInQueue* queue)
{
    handIn_ = queue;
    connect(queue, &HandInQueue::changed, this, &TResultsForm::showHandIn);
    layoutForScreen(screen_);
    InleverLabel->setVisible(shown_ < 0);
    showHandIn();
}

void TResultsForm::showHandIn()
{
    switch (handIn_ ? handIn_->state(result_.uuid) : HandInState::NotHandedIn) {
    case HandInState::HandedIn:
        InleverLabel->setText(QStringLiteral("Ingeleverd bij school."));
        break;
    case HandInState::Waiting:
        InleverLabel->setText(QStringLiteral("Bezig met inleveren bij school…"));
        break;
    case HandInState::NotHandedIn:
        InleverLabel->setText(QStringLiteral("Nog niet ingeleverd: de schoolserver is niet bereikbaar. "
                                             "Het resultaat wordt later ingeleverd."));
        break;
    }
}

void TResultsForm::showItem(int index)
{
    if (index < 0 || index >= result_.items.size())
        return;
    const ItemResult& item = result_.items[index];
    shown_ = index;
    OpgaveTitel->setText(QStringLiteral("Opgave %1   thema %2: %3   (%4)")
                             .arg(item.number)
                             .arg(item.themeCode)
                             .arg(item.themeTitle, RightWrongText(item)));
    // An item drawn again is drawn as large as the view shows it (up to twice), so it is sharp.
    double scale = 1;
    const QSize text = item.textArea(), picture = item.pictureArea();
    if (item.redrawn() && !text.isEmpty() && !picture.isEmpty())
        scale = std::clamp(std::min(double(OpgaveBeeld->width()) / (text.width() + picture.width()),
                                    double(OpgaveBeeld->height()) / std::max(text.height(), picture.height())),
                           1.0, 2.0);
    QImage textImage, pictureImage;
    item.images(&textImage, PictureShown(item, rightAnswersShown()) ? &pictureImage : nullptr, scale);
    OpgaveBeeld->setImages(ShownTextImage(item, rightAnswersShown(), textImage, scale), pictureImage);
    VorigeButton->setEnabled(index > 0);
    VolgendeButton->setEnabled(index + 1 < result_.items.size());
    for (QWidget* w : {static_cast<QWidget*>(KopPanel), static_cast<QWidget*>(ResultatenLijst),
                       static_cast<QWidget*>(AfdrukButton), static_cast<QWidget*>(PdfButton),
                       static_cast<QWidget*>(SluitButton), static_cast<QWidget*>(StatusLabel),
                       static_cast<QWidget*>(InleverLabel)})
        w->hide();
    OpgavePanel->show();
    OpgavePanel->raise();
    // A disabled button can't keep the focus: Terug takes it then.
    QWidget* focus = focusWidget();
    if (!focus || !OpgavePanel->isAncestorOf(focus) || !focus->isEnabled())
        TerugButton->setFocus();
}

void TResultsForm::showList()
{
    const int row = shown_;
    shown_ = -1;
    OpgavePanel->hide();
    for (QWidget* w : {static_cast<QWidget*>(KopPanel), static_cast<QWidget*>(ResultatenLijst),
                       static_cast<QWidget*>(AfdrukButton), static_cast<QWidget*>(PdfButton),
                       static_cast<QWidget*>(SluitButton), static_cast<QWidget*>(StatusLabel)})
        w->show();
    InleverLabel->setVisible(handIn_ != nullptr);
    if (row >= 0)
        ResultatenLijst->setCurrentCell(row, ColNumber);
    ResultatenLijst->setFocus();
}

bool TResultsForm::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        // Enter on the list shows the current item (the list itself would pass it on).
        if (enter && o == ResultatenLijst && ResultatenLijst->currentRow() >= 0) {
            showItem(ResultatenLijst->currentRow());
            return true;
        }
        // Enter presses the button that has the focus.
        if (auto* b = qobject_cast<QPushButton*>(o); enter && b) {
            b->click();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TResultsForm::reject()
{
    if (shown_ >= 0) {
        showList();
        return;
    }
    QDialog::reject();
}

// Without a display nobody can answer a dialog: it counts as cancelled, as messages go to the
// error output there.
static bool NoDisplay()
{
    return QGuiApplication::platformName() == QStringLiteral("offscreen");
}

bool ChoosePrinter(QWidget* parent, QPrinter* printer, const QString& docName)
{
    SetA4Layout(printer);
    printer->setDocName(docName);
    if (printerChooser)
        return printerChooser(parent, printer);
    if (NoDisplay())
        return false;
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(QStringLiteral("Afdrukken"));
    return dialog.exec() == QDialog::Accepted;
}

void TResultsForm::AfdrukButtonClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinter(this, &printer, QStringLiteral("Resultaten van ") + result_.name))
        return;
    if (!PaintReports(&printer, {result_}, reportOptions())) {
        ShowMessage(QStringLiteral("Afdrukken is niet gelukt. Kijk of de printer klaarstaat en probeer het opnieuw."));
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Naar de printer gestuurd."));
}

void TResultsForm::PdfButtonClick()
{
    const QString suggested = SuggestedPdfPath(result_);
    QString path = pdfNameChooser ? pdfNameChooser(this, suggested)
                   : NoDisplay()  ? QString()
                                  : QFileDialog::getSaveFileName(this, QStringLiteral("Opslaan als PDF"), suggested,
                                                                 QStringLiteral("PDF-bestanden (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!WriteReportPdf(path, {result_}, reportOptions(), &error)) {
        ShowMessage(error);
        StatusLabel->clear();
        return;
    }
    StatusLabel->setText(QStringLiteral("Opgeslagen: ") + QDir::toNativeSeparators(path));
}

void ShowResultsWindow(QWidget* parent, const SessionResult& result, ResultsView view, bool stored)
{
    auto* form = new TResultsForm(result, view, parent);
    if (!stored)
        form->offerPdf();
    // A session that is not stored yet is handed in once it is; the window says why it is not.
    if (HandInQueue* school = stored && view == ResultsView::Pupil ? SchoolHandIn() : nullptr)
        form->followHandIn(school);
    form->setAttribute(Qt::WA_DeleteOnClose);
    ShowModal(form);
}

}  // namespace kav
