#pragma once
// The spreadsheet import dialog: lists the ticket rows of a workbook; a double-click on a
// row fills the print form through the row filler. It stays open for the next row.
#include "import/spreadsheet/ticket_rows.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace itin {
class PrintFormAccess;
class PrintFormHost;
struct ItineraryContext;
} // namespace itin

namespace ximport {

class P_excel : public QWidget {
    Q_OBJECT
public:
    // form and ctx must outlive the dialog. Places itself beside the loaded print form.
    P_excel(itin::PrintFormAccess& form, itin::ItineraryContext& ctx, QWidget* parent = nullptr);

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

    itin::PrintFormAccess& form_;
    itin::ItineraryContext& ctx_;
    QPushButton* Command1_;
    QTreeWidget* ListView1_;
};

// Opens the dialog from the print form's "导入表格文件" (one dialog at a time, raised when
// already open). Install once per host; the dialog closes with the host.
class SpreadsheetImport : public QObject {
    Q_OBJECT
public:
    SpreadsheetImport(itin::PrintFormHost& host, itin::PrintFormAccess& form,
                      itin::ItineraryContext& ctx);
    ~SpreadsheetImport() override;
    P_excel* open();

private:
    itin::PrintFormHost& host_;
    itin::PrintFormAccess& form_;
    itin::ItineraryContext& ctx_;
    QPointer<P_excel> dialog_;
};

struct ImportContext;

// Creates the opener as a child of host and hooks it to the form's button; the dialog
// reaches the form through form.
SpreadsheetImport* InstallSpreadsheetImport(itin::PrintFormHost& host, itin::PrintFormAccess& form,
                                            itin::ItineraryContext& ctx);
SpreadsheetImport* InstallSpreadsheetImport(ImportContext& ctx);

} // namespace ximport
