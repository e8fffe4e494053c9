#pragma once
// The main window's menu bar as data: every top menu and item with its control name,
// caption and what choosing it does. The window builds its menus from this table.
#include <QList>
#include <QString>

namespace shell {

enum class MenuAction {
    Web,                // click the management system's navigation entry navId
    SmsPanel,           // show the SMS panel
    PrintDomestic,      // open the print form in domestic mode
    PrintInternational, // open it in international mode
    Contact,            // open the vendor's contact page in the desktop browser
    None,               // disabled entries
};

struct MenuItem {
    QString control; // control array name, or the item's own name
    int index = -1;  // element of the control array; -1 for a single item
    QString caption;
    MenuAction action = MenuAction::None;
    QString navId; // Web entries: the element id in the navigation frame
    bool enabled = true;

    // "m_Att(0)" for an array element, "m_CallHz" for a single item.
    QString objectName() const;
};

struct TopMenu {
    QString control;
    QString caption;
    bool enabled = true;
    QList<MenuItem> items;
};

const QList<TopMenu>& MainMenuTable();

} // namespace shell
