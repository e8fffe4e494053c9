#pragma once
// The print form's command registry: the buttons other parts of the program put on the form
// (the imports, the receipt workbench), each an id (the button's object name), a caption, a
// place and a handler. The form's host holds it, so what is added survives the form's
// reloads; every form the host loads builds its buttons from it, in the tab order of the
// screen like its own controls.
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

namespace itin {

class P_GuoNei;

// The lines of the form that take commands. Each is filled left to right from where it
// starts, 105 twips between buttons, and ends where the form's own controls begin.
enum class FormLine {
    Platform, // right of the platform selector (its controls are domestic only)
    Buttons,  // the line of "打印", after "PNR内容导入"
    Sheets,   // under the flight rows, left
    Tools,    // under the flight rows, right of Sheets
};

struct CommandPlace {
    FormLine line;
    int width = 0;             // twips
    bool domesticOnly = false; // hidden in international mode
    bool hidden = false;       // shown by its own code when it applies ("停止" during a run)
};

struct FormCommand {
    QString id; // the button's object name
    QString caption;
    CommandPlace place;
    std::function<void(P_GuoNei&)> handler;
    bool changesBooking = false; // taken away with the passenger-changing controls
};

class FormCommands {
public:
    // Adds command after the others on its line, or in the place of the one with its id.
    // False, and nothing changes, when the line has no room for it.
    bool add(FormCommand command);
    const std::vector<FormCommand>& all() const { return commands_; }
    // The button of command i on the form, in twips.
    QRect placeOf(size_t i) const;
    // Runs the handler of the command with that id on form.
    void run(const QString& id, P_GuoNei& form) const;

private:
    std::vector<FormCommand> commands_;
};

} // namespace itin
