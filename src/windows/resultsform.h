// The results window: shown when a session ends, and from the teacher's corner. A summary of
// the session (name, score, grade, counts, time), a list of every item with the answers, and
// each item again as it was drawn; printing and saving the report as a PDF file.
#pragma once
#include <QDialog>
#include <QImage>
#include <functional>

#include "results/report.h"
#include "results/result.h"

class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace kav {

class HandInQueue;

enum class ResultsView { Pupil, Teacher };  // Pupil: right answers hidden when the session has a class code

// Shows the results window of a session, modal over parent, and returns when it is closed.
// A session that could not be stored is said to be so, with "Opslaan als PDF…" ready.
void ShowResultsWindow(QWidget* parent, const SessionResult& result, ResultsView view, bool stored = true);

// The file name offered for the PDF: "Resultaten Jan 2026-12-07.pdf" in the home folder.
QString SuggestedPdfPath(const SessionResult& result);

// Tests answer the window's two dialogs themselves: the file name for "Opslaan als PDF…"
// (empty: cancelled) and whether to print on the printer as the print dialog would leave it.
// An empty function brings back the real dialog.
using PdfNameChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
void SetPdfNameChooser(PdfNameChooser chooser);
using PrinterChooser = std::function<bool(QWidget* parent, QPrinter* printer)>;
void SetPrinterChooser(PrinterChooser chooser);
// Sets the printer up for A4 with the document's name and asks where to print (the print
// dialog, or the test's chooser); false when cancelled or when nobody can answer.
bool ChoosePrinter(QWidget* parent, QPrinter* printer, const QString& docName);

// One item again as it was drawn: the text area and the picture side by side, scaled to fit.
class TItemView : public QWidget {
    Q_OBJECT
public:
    explicit TItemView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setImages(const QImage& text, const QImage& picture);
    const QImage& textImage() const { return text_; }
    const QImage& pictureImage() const { return picture_; }
    // Where the two images are drawn in the widget.
    QRect textRect() const;
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    double scale() const;
    QImage text_, picture_;
};

class TResultsForm : public QDialog {
    Q_OBJECT
public:
    TResultsForm(const SessionResult& result, ResultsView view, QWidget* parent = nullptr);
    ~TResultsForm() override;

    void layoutForScreen(QSize screen);
    const SessionResult& session() const { return result_; }
    // Whether the right answers are shown: always for the teacher, for the pupil only
    // without a class code.
    bool rightAnswersShown() const;

    // The item view: one item (0-based) with its images; the list again.
    void showItem(int index);
    void showList();
    int shownItem() const { return shown_; }

    void AfdrukButtonClick();
    void PdfButtonClick();
    // The session is not in the results: the window says so and offers the PDF first.
    void offerPdf();
    // A line says whether the session has been handed in to the school server, kept up to
    // date while it is being handed in.
    void followHandIn(HandInQueue* queue);

    QLabel* TitelLabel;
    QWidget* KopPanel;
    QTableWidget* ResultatenLijst;
    QPushButton *AfdrukButton, *PdfButton, *SluitButton;
    QLabel* StatusLabel;
    QLabel* InleverLabel;  // shown only with a school server
    QWidget* OpgavePanel;
    QLabel* OpgaveTitel;
    TItemView* OpgaveBeeld;
    QPushButton *VorigeButton, *VolgendeButton, *TerugButton;

protected:
    // Escape: from an item back to the list; from the list the window closes.
    void reject() override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void fillHeader();
    void fillList();
    ReportOptions reportOptions() const;
    void showHandIn();

    SessionResult result_;
    ResultsView view_;
    int shown_ = -1;
    bool offerPdf_ = false;
    HandInQueue* handIn_ = nullptr;
    QSize screen_;
};

}  // namespace kav
