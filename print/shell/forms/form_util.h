#pragma once
// Small helpers the sign-in forms share.
#include <QColor>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace shell {

// Moves the window to the middle of its screen.
void CentreOnScreen(QWidget* w);
// A line edit with its designer name; password boxes show "*".
QLineEdit* NamedEdit(QWidget* parent, const char* name, bool password = false);
QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text);
// Sets the label's text colour (black for a passed check).
void SetTextColour(QLabel* label, const QColor& colour);

} // namespace shell
