#pragma once
// Cutting a ticket out of the e-ticket verification result page. The page's third table
// is cut at fixed markers of the browser's markup dialect ("</TR>", "</TD>", ">", "<BR>",
// "</DIV>", "px\">", "&nbsp;"); every cut that finds its row, cell and markers becomes one
// field write, the others are left out so their fields keep their text.
#include <QList>
#include <QString>

namespace ximport {

struct FieldCut {
    int field = 0; // itinerary record index
    QString text;
    bool operator==(const FieldCut&) const = default;
};

// Text that only a result page carries: "印刷序号".
QString ResultMarker();

// The field writes cut from the inner markup of the result table, in table order.
QList<FieldCut> CutResultTable(const QString& tableInner);

} // namespace ximport
