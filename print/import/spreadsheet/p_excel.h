#pragma once
// The spreadsheet import dialog: lists the ticket rows of a workbook; a double-click on a
// row fills the print form through the row filler. It stays open for the next row.
#include "import/spreadsheet/ticket_rows.h"

#include <QWidget>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace itin {
class BookingForm;
class FormPlacement;
struct ItineraryContext;
} // namespace itin

namespace ximport {

class P_excel : public QWidget {
    Q_OBJECT
public:
    // form, placement and ctx must outlive the dialog. Places itself beside the loaded print
    // form, through placement.
    P_excel(itin::BookingForm& form, itin::FormPlacement& placement, itin::ItineraryContext& ctx,
            QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Event handlers.
    void Command1_Click();
    void ListView1_DblClick();
    // Loads a workbook into the list; on failure shows why and leaves the list as it was.
    bool loadWorkbook(const QString& path);
    // The ticket row kept with a list row (its tag).
    static QString tagOf(const QTreeWidgetItem* item);
    void placeBesideForm();
    bool placed_ = false;

    itin::BookingForm& form_;
    itin::FormPlacement& placement_;
    itin::ItineraryContext& ctx_;
    QPushButton* Command1_;
    QTreeWidget* ListView1_;
};

struct ImportContext;

// Puts "导入表格文件" on the print form (domestic mode): it opens the dialog, one at a time,
// raised when already open; the dialog goes with the print form's host. ctx must outlive it.
void InstallSpreadsheetImport(ImportContext& ctx);

} // namespace ximport
