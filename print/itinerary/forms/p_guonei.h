#pragma once
// The print form: the itinerary record as 59 edit boxes laid out like the paper receipt,
// and the commands around it (import, passenger stepping, offsets, fonts, print).
#include "itinerary/forms/click_label.h"
#include "itinerary/forms/form_commands.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/record.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "common/forms/window_host.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace itin {

class P_Pnr;
class ReceiptJob;
class P_font;

class P_GuoNei : public QWidget {
    Q_OBJECT
public:
    // Loads the form in the mode of ctx.formState.printMode, with a button for each of
    // commands (nullptr: none), which must outlive the form.
    P_GuoNei(ItineraryContext& ctx, const FormCommands* commands, QWidget* parent = nullptr);
    ~P_GuoNei() override;

    ItineraryRecord& record() { return record_; }
    ItineraryContext& context() { return ctx_; }

    // The platform chosen in Surs1: its index (-1 for none) and its name.
    int platformIndex() const;
    QString platformName() const;
    // True when a platform is chosen in Surs1 (and the list names the platforms); otherwise
    // asks the agent to choose one, opening the list.
    bool platformChosen();
    // Shows text in the status line (Label7).
    void setStatusText(const QString& text);
    // The page offsets as the agent typed them ("-3 毫米").
    QString leftOffset() const;
    QString topOffset() const;
    // Prints the receipt shown, as "打印" does: the print button is then blocked for three
    // seconds (Timer1). False when the print was refused.
    bool printReceipt();
    // Prints the job's next receipt, blocking the print button as "打印" does.
    bool printReceipt(ReceiptJob& job);
    // True while the print button is blocked.
    bool printBlocked() const;
    // Takes away (true) or gives back the controls that change the passenger or the
    // booking: stepping, imports, the mode switch and the boxes.
    void lockPassenger(bool locked);
    bool passengerLocked() const { return passengerLocked_; }
    // The button of a command of the registry: enabled, shown.
    void setCommandEnabled(const QString& id, bool enabled);
    void setCommandShown(const QString& id, bool shown);

    // Unload: clears printFormOpen and saves the page block, once.
    void unload();

signals:
    // The form has unloaded; its owner deletes it.
    void unloaded();
    // Label27 toggled printMode; the owner reloads the form in the new mode.
    void modeSwitchRequested();
    // The print block ended: the print button is back.
    void printUnblocked();
    // leftr or topb changed.
    void offsetsChanged();
    // The font settings changed (the font dialog saved them).
    void fontsChanged();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Event handlers, one per control and event.
    void cmdprint_Click();
    void Timer1_Timer();
    void cmdnext_Click();
    void cmdpau_Click();
    void cmdtoleft_Click();
    void cmdtoright_Click();
    void cmdtotop_Click();
    void cmdtobum_Click();
    void Command1_Click();
    void Command3_Click();
    void Label27_Click();

    void buildControls();
    // A button for each command of the registry, in its place.
    void buildCommands();
    void applyMode();
    // Tab goes through the controls as the screen shows them: row by row, left to right.
    void orderTabsByScreen();
    void showField(int index);
    void boxEdited(int index, const QString& text);
    void boxLeft(int index);
    void focusLanded(QWidget* now);
    // After a dialog opened from the form closes: the form active and in front again.
    void returnToFront();
    void shiftOffset(QLineEdit* box, int by);
    void updateStepButtons();
    QLineEdit* Pt(int index) const { return Pt_.at(size_t(index)); }

    ItineraryContext& ctx_;
    const FormCommands* commands_;
    ItineraryRecord record_;
    std::array<QLineEdit*, kFieldCount> Pt_{};
    bool unloaded_ = false;
    bool passengerLocked_ = false;
    int pendingLeave_ = -1; // a box left for a popup or another program

    QPushButton *cmdprint_, *cmdpau_, *cmdnext_, *Command3_, *Command1_, *cmdtoleft_, *cmdtoright_,
        *cmdtotop_, *cmdtobum_;
    struct CommandButton {
        QPushButton* button;
        CommandPlace place;
        bool changesBooking;
    };
    std::vector<CommandButton> commandButtons_;
    CommandButton* commandButton(const QString& id);
    QLineEdit *leftr_, *topb_;
    QComboBox* Surs1_;
    QString surs1Tag_;
    ClickLabel* Label27_;
    QLabel *Label7_, *Label15_;
    QGroupBox* Frame1_;
    QTimer* Timer1_;
    forms::WindowHost<P_Pnr> pnr_;
    forms::WindowHost<P_font> font_;
};

// The window caption of the mode: "国内单据打印——客服QQ：" or "国际单据打印——客服QQ："
// followed by the support contact.
QString PrintFormCaption(qint16 mode, const QString& supportContact);
// The owner of a dialog the form opens: the main window around the form, or none when the
// form is a window of its own (it disables itself while some dialogs are open, and a
// disabled owner would disable its dialogs too).
QWidget* DialogOwner(QWidget& form);
// An offset box's text after a nudge: the number of millimetres and " 毫米".
QString ShiftedOffset(const QString& text, int by);

} // namespace itin
