#pragma once
// The receipt workbench on the print form: "预览" (the print-out over the form, live),
// "全部打印" (one receipt per passenger from the one shown), "打印记录" (the receipt log),
// and "第 n/m 位" beside the passenger buttons.
#include <QPointF>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QTableView;

namespace itin {

struct Filter;
struct Receipt;
class P_GuoNei;
class PrintFormHost;
class ReceiptTableModel;
class PreviewSurface;

// Puts the workbench's commands on the host's forms, and "第 n/m 位" on each form it loads.
void InstallReceiptWorkbench(PrintFormHost& host);

class ItineraryRecord;
// "当前表单上的 HX3K8M 将被替换。" for a form that holds a booking (its reference, else its
// passenger); empty for an empty form.
QString ReplacedBookingNotice(const ItineraryRecord& record);

// The preview window: the receipt the print button would print now, redrawn as the record
// and the offsets change.
class P_Preview : public QWidget {
    Q_OBJECT
public:
    explicit P_Preview(P_GuoNei& form);
    // How many texts the preview marks as overlapping or off the paper.
    int flaggedCount() const { return flagged_; }

private:
    void redraw();
    void scheduleRedraw();
    void chooseFormImage();
    void useOutline();

    P_GuoNei& form_;
    QPointF origin_; // where the chosen printer's printable area starts, in twips
    QLabel* picture_;
    QLabel* status_;
    bool pending_ = false;
    int flagged_ = 0;
};

// The receipt log window "打印记录": newest first, filters (dates as typed, ticket number
// and PNR by part), a row count, sortable columns, rows read as the list scrolls, spoiled
// forms, reprint (the logged record refilled into the form with the next check code), CSV.
// It follows the log: a receipt printed while it is open shows at once.
class P_Receipts : public QWidget {
    Q_OBJECT
public:
    explicit P_Receipts(P_GuoNei& form);

private:
    void refresh();
    void markSpoiled();
    void reprint();
    void exportCsv();
    // The criteria in the filter boxes; nullopt after a date box that cannot be read was
    // marked and said so.
    std::optional<itin::Filter> filter();
    qint64 selectedId() const;
    void reprintFromForm(const itin::Receipt& row);

    P_GuoNei& form_;
    QLineEdit *from_, *to_, *ticket_, *pnr_, *code_, *counter_;
    QTableView* table_;
    QLabel* count_;
    ReceiptTableModel* model_ = nullptr;
};
} // namespace itin
