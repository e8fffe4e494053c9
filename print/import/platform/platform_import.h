#pragma once
// The platform order retrieval on the print form.
namespace itin {
class RetrievalForm;
}

namespace ximport {

struct ImportContext;

// Puts "导 入" on the print form beside the platform selector (domestic mode). A click checks
// the PNR typed in the form and the chosen platform; the first one that passes has the pages
// module make the retrieval's opener (OrderRetrieval), which drives the form's platform, status
// and controls through form. ctx and form must outlive the print form's host.
void InstallOrderRetrieval(ImportContext& ctx, itin::RetrievalForm& form);

} // namespace ximport
