#pragma once
// The ticket-number import on the print form.
namespace ximport {

struct ImportContext;

// Puts "票号导入" on the print form (domestic mode); its first click has the pages module make
// the dialog's opener (TicketImport). ctx must outlive the print form's host.
void InstallTicketImport(ImportContext& ctx);

} // namespace ximport
