// The teacher's corner: every stored session in a table, filtered by name and class code, to
// open, export and remove; and the way to make the class code of a new test. The main menu
// opens it after the teacher code.
#pragma once
#include <QDialog>
#include <QVector>
#include <functional>
#include <memory>

#include "results/store.h"
#include "ui/ui.h"
#include "windows/sessiontable.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace kav {

class TToetsMakenForm;
class TWerkbladForm;

class TDocentForm : public QDialog {
    Q_OBJECT
public:
    explicit TDocentForm(QWidget* parent = nullptr);
    ~TDocentForm() override;

    void layoutForScreen(QSize screen);
    // Opens the store afresh and fills the table (every time the window is shown).
    void refresh();

    void FilterChanged();
    void OpenButtonClick();
    void CsvButtonClick();
    void PdfButtonClick();
    void VerwijderButtonClick();
    // Gives the chosen sessions a (new) name: one, or many at once.
    void NaamButtonClick();
    // The grade book of the chosen sessions (or every one shown): one line per session.
    void CijferButtonClick();
    void ToetsButtonClick();
    void WerkbladButtonClick();
    // Hides the set-aside files shown above the table, now and at later openings.
    void dismissSetAside();

    // The store's numbers of the rows chosen, and of every row shown, top to bottom.
    QVector<qint64> selectedIds() const;
    QVector<qint64> shownIds() const;
    int selectedCount() const;
    SessionTableModel* model() const { return model_; }
    TToetsMakenForm* toetsForm() const { return toets_; }
    TWerkbladForm* werkbladForm() const { return werkblad_; }
    const ResultStore* store() const { return store_.get(); }

    QLabel *NaamLabel, *CodeLabel, *AantalLabel, *MeldingLabel;
    QLineEdit *NaamFilter, *CodeFilter;
    QTableView* ResultatenTabel;
    QPushButton *OpenButton, *NaamButton, *CsvButton, *CijferButton, *PdfButton, *VerwijderButton, *WerkbladButton,
        *ToetsButton, *KlasButton;
    TPanel* StatusBalk;
    QPushButton* SluitButton;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // A row of buttons in the design: some from the left edge, some from the right, each with
    // its width.
    struct ButtonRow {
        QVector<QPair<QPushButton*, int>> left, right;
    };
    void placeRow(const ButtonRow& row, int top);
    QVector<QPushButton*> buttons() const;
    void fillTable();
    // The rows chosen, as ranges first to last, top to bottom.
    QVector<QPair<int, int>> selectedRanges() const;
    // The table was filled anew: the sessions still there stay chosen; another list is shown
    // from the first of them, or from the top.
    void fetched(const QVector<int>& keptRows, bool other);
    void updateButtons();
    void placeNotice();
    // The store's notice and the set-aside files not dismissed yet, as the label shows them.
    QString noticeText() const;
    void fitColumns();
    // "resultaten-ABCDE-FGHJK-2026-12-08.csv": the base, the class code filtered on, the date.
    QString suggestedFileName(const QString& base, const QString& suffix) const;
    // Asks where to save the chosen sessions (or every one shown) and writes them there, one
    // session at a time; says how it went.
    enum class Export { Csv, GradeBook, Pdf };
    void exportSessions(const QString& title, const QString& base, Export kind);
    // A PDF with a progress window that can cancel it; asks first when it will be long.
    bool writePdf(const QString& path, const QVector<qint64>& ids, QString* error, bool* cancelled);

    std::unique_ptr<ResultStore> store_;
    SessionTableModel* model_;
    QString notice_;
    QStringList setAside_;
    QSize client_;
    double scale_ = 1;
    QVector<QWidget*> rightButtons_;  // kept to the right edge
    TToetsMakenForm* toets_ = nullptr;
    TWerkbladForm* werkblad_ = nullptr;
};

// The main menu's way in: asks for the teacher code (on first use: to choose one) and, when
// it is right, runs `open`. Escape or Annuleren runs nothing.
void AskTeacherCode(QWidget* parent, std::function<void()> open);

}  // namespace kav
