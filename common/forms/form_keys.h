#pragma once
// Keyboard conventions of every form: Enter presses the form's default button, and Tab
// moves through the controls in the order they stand on screen.
class QPushButton;
class QWidget;

namespace forms {

// Enter or Return anywhere in window (except in a multi-line text) presses button, after
// moving the focus to it so that the box being left runs its lost-focus checks first.
void SetDefaultButton(QWidget* window, QPushButton* button);
// Orders Tab through window's focusable controls row by row, top to bottom and left to
// right. Call it once the window is laid out (its show event, or after layout activation).
void OrderTabsByLayout(QWidget* window);

} // namespace forms
