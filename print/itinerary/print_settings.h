#pragma once
// The print settings of one program run: offsets, agency fields and the two print font
// sets as loaded from "info.ini", plus the values computed at load. Owned by the program
// and handed to the store, the print form, the font dialog and the print-out.
#include <QString>

namespace itin {

struct PrintSettings {
    // Page block (texts as stored).
    QString leftr;
    QString topb;
    QString companycode;
    QString companynumber;
    QString companyname;

    // Font set 1: texts whose first character is not ASCII.
    QString fonttype1;
    double fontsize1 = 0;
    bool bold1 = false;
    bool underline1 = false;
    bool italic1 = false;
    bool strikethrough1 = false;

    // Font set 2: texts whose first character is ASCII.
    QString fonttype2;
    double fontsize2 = 0;
    bool bold2 = false;
    bool underline2 = false;
    bool italic2 = false;
    bool strikethrough2 = false;

    // The font dialog's ninth check box, stored and shown again only.
    bool sc = false;

    // Whole text of "info.ini" as last read.
    QString infoText;
    // Computed at load.
    QString infoPath;
    QString pingTaiPath;
    QString defaultPlatformList;
    // Identifies this workstation in gateway requests (field "Hdnumber").
    QString workstationId;
};

constexpr const char* kDefaultFont1 = "TEC";
constexpr const char* kDefaultFont2 = "TEE";
constexpr double kDefaultSize1 = 18;
constexpr double kDefaultSize2 = 13;

} // namespace itin
