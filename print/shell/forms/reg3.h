#pragma once
// Enrolment, step two: the company and contact details, read from the company record
// when the form loads and written back with two updates.
#include "shell/enrolment_sql.h"

#include <QWidget>

class QLineEdit;

namespace shell {

class SignInFlow;

class Reg3 : public QWidget {
    Q_OBJECT
public:
    explicit Reg3(SignInFlow& flow);
    // Reads the company record into the boxes (done once, before the form first shows).
    void load();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void next();
    CompanyDetails boxes() const;

    SignInFlow& flow_;
    QLineEdit* name_;
    QLineEdit* shortName_;
    QLineEdit* tel_;
    QLineEdit* fax_;
    QLineEdit* address_;
    QLineEdit* contact_;
    QLineEdit* title_;
    QLineEdit* deskPhone_;
    QLineEdit* mobile_;
    QLineEdit* email_;
    bool centred_ = false;
};

} // namespace shell
